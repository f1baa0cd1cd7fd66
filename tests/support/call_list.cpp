#include "tests/support/call_list.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

void CallFrame::PlayInto(Canvas& canvas) const {
    for (const CanvasCall& call : calls) {
        switch (call.kind) {
            case CanvasCall::Kind::Brush:
                canvas.SelectBrush(call.colour);
                break;
            case CanvasCall::Kind::Rect:
                canvas.Rectangle(call.rect[0], call.rect[1], call.rect[2], call.rect[3]);
                break;
            case CanvasCall::Kind::Poly:
                canvas.Polygon(PointsOf(call), call.count);
                break;
        }
    }
}

void RecordingCanvas::SelectBrush(Colour colour) {
    CanvasCall call;
    call.kind = CanvasCall::Kind::Brush;
    call.colour = colour;
    m_frame->calls.push_back(call);
}

void RecordingCanvas::Rectangle(int left, int top, int right, int bottom) {
    CanvasCall call;
    call.kind = CanvasCall::Kind::Rect;
    call.rect[0] = left;
    call.rect[1] = top;
    call.rect[2] = right;
    call.rect[3] = bottom;
    m_frame->calls.push_back(call);
}

void RecordingCanvas::Polygon(const Point* points, int count) {
    CanvasCall call;
    call.kind = CanvasCall::Kind::Poly;
    call.first = m_frame->points.size();
    // GDI draws nothing for these; the call is kept so that both sides see it.
    if (points != nullptr && count > 0) {
        m_frame->points.insert(m_frame->points.end(), points, points + count);
        call.count = count;
    }
    m_frame->calls.push_back(call);
}

namespace {

std::string Hex(Colour colour) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(colour & 0xFFFFFFU));
    return text;
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t", at);
        if (start == std::string::npos) {
            break;
        }
        const std::size_t end = line.find_first_of(" \t", start);
        words.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        at = end == std::string::npos ? line.size() : end;
    }
    return words;
}

// A decimal number in [lo, hi], nothing else.
bool Decimal(const std::string& word, long long lo, long long hi, long long* value) {
    if (word.empty() || word.size() > 12) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        if (!(c >= '0' && c <= '9') && !(i == 0 && c == '-' && word.size() > 1)) {
            return false;
        }
    }
    const long long v = std::strtoll(word.c_str(), nullptr, 10);
    if (v < lo || v > hi) {
        return false;
    }
    *value = v;
    return true;
}

bool Coordinate(const std::string& word, int* value) {
    long long v = 0;
    if (!Decimal(word, -2147483647LL - 1, 2147483647LL, &v)) {
        return false;
    }
    *value = static_cast<int>(v);
    return true;
}

// 0x followed by one to six hexadecimal digits.
bool ColourWord(const std::string& word, Colour* colour) {
    if (word.size() < 3 || word.size() > 8 || word[0] != '0' || (word[1] != 'x' && word[1] != 'X')) {
        return false;
    }
    Colour value = 0;
    for (std::size_t i = 2; i < word.size(); ++i) {
        const char c = word[i];
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return false;
        }
        value = value * 16U + digit;
    }
    *colour = value;
    return true;
}

// One line's call into the frame; "" or what is wrong with it.
std::string ReadCall(const std::vector<std::string>& w, CallFrame* frame) {
    const std::string& op = w[0];
    RecordingCanvas recorder(frame);
    if (op == "brush") {
        Colour colour = 0;
        if (w.size() != 2 || !ColourWord(w[1], &colour)) {
            return "'brush' takes one colour 0xBBGGRR";
        }
        recorder.SelectBrush(colour);
    } else if (op == "rect") {
        int r[4] = {};
        if (w.size() != 5 || !Coordinate(w[1], &r[0]) || !Coordinate(w[2], &r[1]) || !Coordinate(w[3], &r[2]) ||
            !Coordinate(w[4], &r[3])) {
            return "'rect' takes four 32-bit numbers L T R B";
        }
        recorder.Rectangle(r[0], r[1], r[2], r[3]);
    } else if (op == "poly") {
        long long n = 0;
        if (w.size() < 2 || !Decimal(w[1], 0, 2147483647LL, &n) || w.size() - 2 != static_cast<std::size_t>(n) * 2) {
            return "'poly' takes a count N and N points X Y";
        }
        std::vector<Point> points(static_cast<std::size_t>(n));
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (!Coordinate(w[2 + 2 * i], &points[i].x) || !Coordinate(w[3 + 2 * i], &points[i].y)) {
                return "'poly' point " + std::to_string(i + 1) + " is not two 32-bit numbers";
            }
        }
        recorder.Polygon(points.data(), static_cast<int>(n));
    } else {
        return "unknown call '" + op.substr(0, 40) + "' (expected scene, frame, brush, rect or poly)";
    }
    return {};
}

}  // namespace

std::string WriteCall(const CallFrame& frame, const CanvasCall& call) {
    switch (call.kind) {
        case CanvasCall::Kind::Brush:
            return "brush " + Hex(call.colour);
        case CanvasCall::Kind::Rect:
            return "rect " + std::to_string(call.rect[0]) + " " + std::to_string(call.rect[1]) + " " +
                   std::to_string(call.rect[2]) + " " + std::to_string(call.rect[3]);
        case CanvasCall::Kind::Poly: {
            std::string line = "poly " + std::to_string(call.count);
            const Point* points = frame.PointsOf(call);
            for (int i = 0; i < call.count; ++i) {
                line += " " + std::to_string(points[i].x) + " " + std::to_string(points[i].y);
            }
            return line;
        }
    }
    return {};
}

std::string WriteCallList(const std::vector<CallScene>& scenes) {
    std::string text;
    for (const CallScene& scene : scenes) {
        text += "scene " + scene.name + "\n";
        for (const CallFrame& frame : scene.frames) {
            text += "frame " + Hex(frame.clear) + "\n";
            for (const CanvasCall& call : frame.calls) {
                text += WriteCall(frame, call);
                text += '\n';
            }
        }
    }
    return text;
}

bool ReadCallList(const std::string& text, std::vector<CallScene>* scenes, std::string* error) {
    scenes->clear();
    int lineNo = 0;
    int sceneLine = 0;
    auto fail = [&](int at, const std::string& what) {
        *error = "line " + std::to_string(at) + ": " + what;
        return false;
    };
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t newline = text.find('\n', at);
        const std::size_t end = newline == std::string::npos ? text.size() : newline;
        std::string line = text.substr(at, end - at);
        at = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::vector<std::string> w = Words(line);
        if (w.empty()) {
            continue;
        }
        if (w[0] == "scene") {
            if (!scenes->empty() && scenes->back().frames.empty()) {
                return fail(sceneLine, "scene '" + scenes->back().name + "' has no frames");
            }
            if (w.size() < 2) {
                return fail(lineNo, "'scene' takes a name");
            }
            // The name is the rest of the line: it may hold blanks.
            const std::size_t name = line.find_first_not_of(" \t", line.find("scene") + 5);
            scenes->push_back(CallScene{line.substr(name), {}});
            sceneLine = lineNo;
        } else if (scenes->empty()) {
            return fail(lineNo, "'" + w[0].substr(0, 40) + "' before the first scene");
        } else if (w[0] == "frame") {
            Colour clear = 0;
            if (w.size() != 2 || !ColourWord(w[1], &clear)) {
                return fail(lineNo, "'frame' takes one colour 0xBBGGRR");
            }
            CallFrame frame;
            frame.clear = clear;
            scenes->back().frames.push_back(std::move(frame));
        } else if (scenes->back().frames.empty()) {
            return fail(lineNo, "'" + w[0].substr(0, 40) + "' before the scene's first frame");
        } else {
            const std::string problem = ReadCall(w, &scenes->back().frames.back());
            if (!problem.empty()) {
                return fail(lineNo, problem);
            }
        }
    }
    if (!scenes->empty() && scenes->back().frames.empty()) {
        return fail(sceneLine, "scene '" + scenes->back().name + "' has no frames");
    }
    return true;
}

bool WriteCallListFile(const std::string& path, const std::vector<CallScene>& scenes, std::string* error) {
    const std::string text = WriteCallList(scenes);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        *error = "cannot write " + path;
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

bool ReadCallListFile(const std::string& path, std::vector<CallScene>* scenes, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *error = "cannot open " + path;
        return false;
    }
    std::string text;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, got);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        *error = "cannot read " + path;
        return false;
    }
    if (!ReadCallList(text, scenes, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return true;
}
