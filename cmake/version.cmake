# The one version of the release, from project(): the About boxes, vexalmini --version, the
# Windows programs' VERSIONINFO, the man pages and the package names all take it from here.

# The day this version was released, for the man pages and the AppStream release entry.
set(VEXAL_RELEASE_DATE 2026-12-09)

if(PROJECT_VERSION_PATCH STREQUAL "")
    set(VEXAL_VERSION_WORDS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,0")
else()
    set(VEXAL_VERSION_WORDS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
endif()
# The resource compiler reads it as a header: windres passes quoted -D values on unreliably.
configure_file(${CMAKE_CURRENT_LIST_DIR}/vexal_version.h.in ${PROJECT_BINARY_DIR}/generated/vexal_version.h @ONLY)
