#include "platform/trace.h"

#include <algorithm>

#include "platform/runtime.h"

namespace tolvarin {
namespace {

void appendJsonString(std::string& out, std::string_view s) {
  out += '"';
  for (char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
          out += buf;
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

}  // namespace

Tracer::~Tracer() {
  if (out_ != nullptr) std::fflush(out_);
}

bool Tracer::open(const std::string& path, std::function<TraceStamp()> stamp) {
  std::lock_guard lock(mutex_);
  if (path == "-") {
    file_.reset();
    out_ = stderr;
  } else {
    file_.reset(std::fopen(path.c_str(), "wb"));
    out_ = file_.get();
  }
  stamp_ = std::move(stamp);
  return out_ != nullptr;
}

void Tracer::begin(std::string_view scene) {
  if (!enabled()) return;
  std::lock_guard lock(mutex_);
  open_.emplace_back(scene);
  write("begin", scene);
}

void Tracer::end(std::string_view scene) {
  if (!enabled()) return;
  std::lock_guard lock(mutex_);
  auto it = std::find(open_.rbegin(), open_.rend(), scene);
  if (it != open_.rend()) open_.erase(std::next(it).base());
  write("end", scene);
}

void Tracer::event(std::string_view event) {
  if (!enabled()) return;
  std::lock_guard lock(mutex_);
  write(event, open_.empty() ? std::string_view() : std::string_view(open_.back()));
}

void Tracer::write(std::string_view event, std::string_view scene) {
  if (muted_) return;
  const TraceStamp s = stamp_ ? stamp_() : TraceStamp{};
  char head[160];
  std::snprintf(head, sizeof head, "{\"t\":%.3f,\"frame\":%lld,\"order\":%u,\"row\":%u,\"event\":", s.time,
                static_cast<long long>(s.frame), s.position & 0xFFFFu, s.position >> 16);
  std::string line = head;
  appendJsonString(line, event);
  line += ",\"scene\":";
  appendJsonString(line, scene);
  line += "}\n";
  std::fwrite(line.data(), 1, line.size(), out_);
  std::fflush(out_);  // whole lines, at once: others may be reading the trace live
}

TraceScope::TraceScope(std::string_view name) : name_(name) {
  if (Runtime* rt = currentRuntime()) rt->tracer().begin(name_);
}

TraceScope::~TraceScope() {
  if (Runtime* rt = currentRuntime()) rt->tracer().end(name_);
}

}  // namespace tolvarin
