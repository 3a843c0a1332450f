#include "support/trace_events.h"

#include <cctype>
#include <charconv>
#include <optional>

namespace tolvarin::testing {
namespace {

// Reads one line field by field; any surprise leaves ok false.
struct Cursor {
  std::string_view s;
  bool ok = true;

  void literal(std::string_view text) {
    if (ok && s.substr(0, text.size()) == text) {
      s.remove_prefix(text.size());
    } else {
      ok = false;
    }
  }
  std::string_view digits() {
    std::size_t n = 0;
    while (n < s.size() && std::isdigit(static_cast<unsigned char>(s[n]))) ++n;
    if (n == 0) ok = false;
    const auto out = s.substr(0, n);
    s.remove_prefix(n);
    return out;
  }
  template <typename T>
  T integer() {
    const auto text = digits();
    T value{};
    if (ok && std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc()) ok = false;
    return value;
  }
  double seconds() {  // the tracer's %.3f
    const auto whole = integer<std::int64_t>();
    literal(".");
    const auto fraction = digits();
    if (fraction.size() != 3) ok = false;
    return ok ? static_cast<double>(whole) + std::stoi(std::string(fraction)) / 1000.0 : 0.0;
  }
  std::string string() {  // a JSON string as the tracer escapes it
    literal("\"");
    std::string out;
    while (ok && !s.empty() && s.front() != '"') {
      char c = s.front();
      s.remove_prefix(1);
      if (c == '\\') {
        if (s.empty()) break;
        c = s.front();
        s.remove_prefix(1);
        if (c == 'n') c = '\n';
        if (c == 'u') {
          if (s.size() < 4) break;
          c = static_cast<char>(std::stoi(std::string(s.substr(0, 4)), nullptr, 16));
          s.remove_prefix(4);
        } else if (c != '"' && c != '\\' && c != '\n') {
          ok = false;
        }
      }
      out += c;
    }
    literal("\"");
    return out;
  }
};

std::optional<TraceEvent> parseLine(std::string_view line) {
  Cursor c{line};
  TraceEvent e;
  c.literal("{\"t\":");
  e.t = c.seconds();
  c.literal(",\"frame\":");
  e.frame = c.integer<std::int64_t>();
  c.literal(",\"order\":");
  e.order = c.integer<int>();
  c.literal(",\"row\":");
  e.row = c.integer<int>();
  c.literal(",\"event\":");
  e.event = c.string();
  c.literal(",\"scene\":");
  e.scene = c.string();
  c.literal("}");
  const bool knownEvent = e.event == "begin" || e.event == "end" || e.event == "sync" || e.event == "key";
  if (!c.ok || !c.s.empty() || !knownEvent) return std::nullopt;
  return e;
}

}  // namespace

ParsedTrace parseTrace(std::string_view text, bool live) {
  ParsedTrace out;
  while (!text.empty()) {
    const auto end = text.find('\n');
    if (end == std::string_view::npos && live) break;  // still being written
    const auto line = text.substr(0, end);
    if (auto e = parseLine(line); e && end != std::string_view::npos) {
      out.events.push_back(std::move(*e));
    } else {
      out.malformed.emplace_back(line);
    }
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return out;
}

std::vector<std::string> sceneOrder(const std::vector<TraceEvent>& events, std::string_view event) {
  std::vector<std::string> out;
  for (const auto& e : events) {
    if (e.event == event && !e.isPhase()) out.push_back(e.scene);
  }
  return out;
}

int countEvents(const std::vector<TraceEvent>& events, std::string_view event) {
  int n = 0;
  for (const auto& e : events) n += e.event == event ? 1 : 0;
  return n;
}

}  // namespace tolvarin::testing
