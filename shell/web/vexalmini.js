// Loads the game, vexalmini.wasm: a standalone WebAssembly module whose only imports are four
// calls of WASI (the clocks, the environment that gives it the time zone, exit), so that no
// generated glue is needed. VexalModule() resolves to the module's functions under the page's
// names (M._vexal_start, ...) and its memory (M.HEAPU8, M.HEAP32), and rejects when the module
// cannot be had or started.
'use strict';

function VexalModule() {
  let memory = null;
  const view = () => new DataView(memory.buffer);
  // The browser's time zone now, as a POSIX TZ value ("UTC-5:30" is 5:30 east), so that the
  // game's local time is the player's, as on the device.
  const east = -new Date().getTimezoneOffset();
  const zone = `TZ=UTC${east > 0 ? '-' : '+'}${Math.floor(Math.abs(east) / 60)}:${Math.abs(east) % 60}\0`;
  const zoneBytes = new TextEncoder().encode(zone);
  const wasi = {
    // Nanoseconds since 1970 (clock 0) or since the page opened (the monotonic clocks).
    clock_time_get(clock, precision, at) {
      const ns = (clock === 0 ? Date.now() : performance.now()) * 1e6;
      const high = Math.floor(ns / 4294967296);
      view().setUint32(at, ns - high * 4294967296, true);
      view().setUint32(at + 4, high, true);
      return 0;
    },
    environ_sizes_get(count, size) {
      view().setUint32(count, 1, true);
      view().setUint32(size, zoneBytes.length, true);
      return 0;
    },
    environ_get(list, text) {
      view().setUint32(list, text, true);
      new Uint8Array(memory.buffer).set(zoneBytes, text);
      return 0;
    },
    proc_exit(code) {
      throw new Error(`the game stopped (${code})`);
    },
  };
  const imports = { wasi_snapshot_preview1: wasi };
  const bytes = () => fetch('vexalmini.wasm').then((r) => {
    if (!r.ok) throw new Error(`vexalmini.wasm: ${r.status} ${r.statusText}`);
    return r.arrayBuffer();
  }).then((b) => WebAssembly.instantiate(b, imports));
  // Compiled while it downloads; a server that sends the wrong type gets the slower way.
  const loaded = WebAssembly.instantiateStreaming
    ? WebAssembly.instantiateStreaming(fetch('vexalmini.wasm'), imports).catch(bytes) : bytes();
  return loaded.then(({ instance }) => {
    const e = instance.exports;
    memory = e.memory;
    e._initialize();
    const M = {};
    for (const name of Object.keys(e)) if (name.startsWith('vexal_')) M[`_${name}`] = e[name];
    // Views of the memory as it is now: it may grow.
    let u8 = null;
    let i32 = null;
    Object.defineProperties(M, {
      HEAPU8: { get: () => (u8 && u8.buffer === memory.buffer ? u8 : (u8 = new Uint8Array(memory.buffer))) },
      HEAP32: { get: () => (i32 && i32.buffer === memory.buffer ? i32 : (i32 = new Int32Array(memory.buffer))) },
    });
    return M;
  });
}
