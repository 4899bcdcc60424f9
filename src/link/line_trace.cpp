#include "link/line_trace.h"

#include <cstdio>
#include <fstream>

#include "link/link_frame.h"

namespace qn410 {

namespace {

int64_t SteadyMicros() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

const char* ControlName(uint8_t byte) {
    switch (byte) {
        case ENQ:
            return "DLE ENQ";
        case ACK:
            return "DLE ACK";
        case NAK:
            return "DLE NAK";
        case EOT:
            return "DLE EOT";
        default:
            return nullptr;
    }
}

std::string Hex(const char* prefix, uint8_t byte) {
    char text[24];
    std::snprintf(text, sizeof text, "%s0x%02X", prefix, byte);
    return text;
}

std::string Escaped(std::string_view body) {
    std::string out;
    for (const char c : body) {
        const auto b = static_cast<uint8_t>(c);
        if (b == '\\')
            out += "\\\\";
        else if (b >= 0x20 && b <= 0x7E)
            out += c;
        else {
            char text[8];
            std::snprintf(text, sizeof text, "\\x%02X", b);
            out += text;
        }
    }
    return out;
}

}  // namespace

LineTrace::LineTrace(std::ostream& out, Micros micros)
    : out_(out), micros_(micros ? std::move(micros) : Micros(SteadyMicros)), start_(micros_()) {}

LineTrace::LineTrace(std::unique_ptr<std::ostream> out, Micros micros)
    : owned_(std::move(out)),
      out_(*owned_),
      micros_(micros ? std::move(micros) : Micros(SteadyMicros)),
      start_(micros_()) {}

std::shared_ptr<LineTrace> LineTrace::ToFile(const std::string& path) {
    auto file = std::make_unique<std::ofstream>(path, std::ios::binary | std::ios::trunc);
    if (!*file) return nullptr;
    return std::make_shared<LineTrace>(std::move(file));
}

namespace {
std::mutex g_traceMutex;
std::shared_ptr<LineTrace> g_trace;
}  // namespace

void SetLineTrace(std::shared_ptr<LineTrace> trace) {
    std::lock_guard lock(g_traceMutex);
    g_trace = std::move(trace);
}

std::shared_ptr<LineTrace> CurrentLineTrace() {
    std::lock_guard lock(g_traceMutex);
    return g_trace;
}

void LineTrace::Bytes(Direction direction, std::string_view bytes) {
    std::lock_guard lock(mutex_);
    Reader& reader = direction == Direction::Tx ? tx_ : rx_;
    for (const char c : bytes) Byte(direction, reader, static_cast<uint8_t>(c));
    out_.flush();  // a trace must survive the program being killed
}

void LineTrace::Byte(Direction direction, Reader& r, uint8_t byte) {
    switch (r.state) {
        case State::Idle:
            if (byte == DLE)
                r.state = State::Dle;
            else
                Line(direction, Hex("byte ", byte));
            return;
        case State::Dle:
            if (byte == STX) {
                r.body.clear();
                r.state = State::Body;
                return;
            }
            if (const char* name = ControlName(byte))
                Line(direction, name);
            else
                Line(direction, Hex("DLE ", byte));
            r.state = State::Idle;
            return;
        case State::Body:
            if (byte == DLE)
                r.state = State::BodyDle;
            else
                r.body += static_cast<char>(byte);
            return;
        case State::BodyDle:
            if (byte == ETX) {
                r.state = State::Bcc;
            } else {
                r.body += static_cast<char>(byte);  // DLE DLE is one data byte
                r.state = State::Body;
            }
            return;
        case State::Bcc: {
            // A data DLE travels doubled and so adds nothing to the BCC, as the engine and
            // the exchange count it; the tool's own bodies never hold one.
            uint8_t expected = DLE ^ ETX;
            for (char c : r.body)
                if (static_cast<uint8_t>(c) != DLE) expected ^= static_cast<uint8_t>(c);
            char tail[40];
            std::snprintf(tail, sizeof tail, "\" BCC 0x%02X %s", byte,
                          byte == expected ? "good" : "bad");
            Line(direction, "frame \"" + Escaped(r.body) + tail);
            r.body.clear();
            r.state = State::Idle;
            return;
        }
    }
}

void LineTrace::Line(Direction direction, std::string_view what) {
    const int64_t us = micros_() - start_;
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "%6lld.%06lld %s ", static_cast<long long>(us / 1000000),
                  static_cast<long long>(us % 1000000), direction == Direction::Tx ? "TX" : "RX");
    out_ << stamp << what << '\n';
}

}  // namespace qn410
