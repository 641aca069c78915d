#define PCRE2_CODE_UNIT_WIDTH 8
#include "vistrel/node/internal/Query.h"
#include "vistrel/platform/Text.h"

#include <pcre2.h>

#include <algorithm>
#include <cctype>
#include <charconv>

namespace vistrel::node::internal {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
  return s;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// `lowered` is already lower case.
bool equalsIgnoringCase(std::string_view text, std::string_view lowered) {
  if (text.size() != lowered.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        static_cast<unsigned char>(lowered[i])) {
      return false;
    }
  }
  return true;
}

// Removes one pair of enclosing single or double quotes.
std::string_view unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '\'' || v.front() == '"') && v.back() == v.front()) {
    return v.substr(1, v.size() - 2);
  }
  return v;
}

struct PatternFree {
  void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct ContextFree {
  void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};
struct DataFree {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};

}  // namespace

// A regular expression with bounded matching: a pathological pattern gives up instead of
// running for ever (the match and depth limits) and never recurses on the machine stack
// (PCRE2 keeps its backtracking frames on the heap).
class Pattern {
 public:
  static std::unique_ptr<Pattern> compile(std::string_view source, std::string& error) {
    int code = 0;
    PCRE2_SIZE offset = 0;
    std::unique_ptr<pcre2_code, PatternFree> compiled(
        pcre2_compile(reinterpret_cast<PCRE2_SPTR>(source.data()), source.size(), PCRE2_UTF, &code,
                      &offset, nullptr));
    if (!compiled) {
      PCRE2_UCHAR message[256];
      pcre2_get_error_message(code, message, sizeof message);
      error = "pattern " + std::string(source) + ": " + reinterpret_cast<char*>(message);
      return nullptr;
    }
    auto pattern = std::unique_ptr<Pattern>(new Pattern());
    pattern->code_ = std::move(compiled);
    pattern->context_.reset(pcre2_match_context_create(nullptr));
    pcre2_set_match_limit(pattern->context_.get(), 1'000'000);
    pcre2_set_depth_limit(pattern->context_.get(), 10'000);
    pattern->data_.reset(pcre2_match_data_create_from_pattern(pattern->code_.get(), nullptr));
    return pattern;
  }

  bool found(std::string_view subject) const {
    const int rc = pcre2_match(code_.get(), reinterpret_cast<PCRE2_SPTR>(subject.data()),
                               subject.size(), 0, 0, data_.get(), context_.get());
    return rc >= 0;  // no match, invalid UTF-8 and a reached limit all count as not found
  }

 private:
  Pattern() = default;
  std::unique_ptr<pcre2_code, PatternFree> code_;
  std::unique_ptr<pcre2_match_context, ContextFree> context_;
  std::unique_ptr<pcre2_match_data, DataFree> data_;
};

struct Query::Clause {
  enum class Op { equals, pattern, bounds } op;
  std::string key;
  std::string value;  // lower-cased for equality
  std::unique_ptr<Pattern> pattern;
  std::int64_t rect[4] = {};
  bool rectValid = false;
};

Query::Query() = default;
Query::Query(Query&&) noexcept = default;
Query& Query::operator=(Query&&) noexcept = default;
Query::~Query() = default;

std::optional<Query> Query::compile(std::string_view text, std::string& error) {
  Query query;
  std::string_view rest = trim(text);
  if (rest.empty()) {
    error = "empty query";
    return std::nullopt;
  }
  while (!rest.empty()) {
    if (rest.front() != '[') {
      error = "expected '[' at: " + std::string(rest);
      return std::nullopt;
    }
    // The clause runs to its balancing ']', brackets inside quotes not counted.
    std::size_t depth = 0, end = 0;
    char quote = 0;
    for (std::size_t i = 0; i < rest.size(); ++i) {
      const char c = rest[i];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == '\'' || c == '"') {
        quote = c;
      } else if (c == '[') {
        ++depth;
      } else if (c == ']' && --depth == 0) {
        end = i;
        break;
      }
    }
    if (end == 0) {
      error = "unbalanced brackets or quotes in: " + std::string(rest);
      return std::nullopt;
    }
    const std::string_view body = rest.substr(1, end - 1);
    rest = trim(rest.substr(end + 1));

    Clause clause;
    std::size_t at = std::string_view::npos, width = 0;
    if (const auto p = body.find(":bounds="); p != std::string_view::npos) {
      clause.op = Clause::Op::bounds, at = p, width = 8;
    }
    if (const auto p = body.find("~="); p != std::string_view::npos && p < at) {
      clause.op = Clause::Op::pattern, at = p, width = 2;
    }
    if (const auto p = body.find('='); p != std::string_view::npos && p < at) {
      clause.op = Clause::Op::equals, at = p, width = 1;
    }
    if (at == std::string_view::npos) {
      error = "unsupported condition [" + std::string(body) + "]";
      return std::nullopt;
    }
    if (clause.op == Clause::Op::equals && at > 0 &&
        std::string_view("!^$*").find(body[at - 1]) != std::string_view::npos) {
      error = "unsupported operator in [" + std::string(body) + "]";
      return std::nullopt;
    }
    clause.key = lower(trim(body.substr(0, at)));
    const std::string_view raw = body.substr(at + width);
    if (clause.key.empty() || clause.key.find_first_of("[]'\" ") != std::string::npos) {
      error = "bad attribute key in [" + std::string(body) + "]";
      return std::nullopt;
    }
    if (clause.op == Clause::Op::pattern) {
      clause.pattern = Pattern::compile(raw, error);
      if (!clause.pattern) return std::nullopt;
    } else {
      const std::string_view value = unquote(trim(raw));
      if (value.find_first_of("'\"[]") != std::string_view::npos) {
        error = "value holds quotes or brackets in [" + std::string(body) + "]";
        return std::nullopt;
      }
      clause.value = lower(trim(value));
      if (clause.op == Clause::Op::bounds) {
        std::vector<std::string_view> parts;
        std::string_view v = clause.value;
        for (std::size_t comma; (comma = v.find(',')) != std::string_view::npos;
             v.remove_prefix(comma + 1)) {
          parts.push_back(v.substr(0, comma));
        }
        parts.push_back(v);
        clause.rectValid = parts.size() >= 4;
        for (std::size_t i = 0; clause.rectValid && i < 4; ++i) {
          const auto n = platform::parseDecimal(parts[i]);
          if (!n) {
            clause.rectValid = false;
          } else {
            clause.rect[i] = *n;
          }
        }
      }
    }
    query.clauses_.push_back(std::move(clause));
  }
  return query;
}

bool Query::matches(const Node& element) const {
  for (const auto& clause : clauses_) {
    const std::string* value = element.findAttr(clause.key);
    if (!value) return false;
    switch (clause.op) {
      case Clause::Op::equals:
        if (!equalsIgnoringCase(trim(*value), clause.value)) return false;
        break;
      case Clause::Op::pattern:
        if (!clause.pattern->found(*value)) return false;
        break;
      case Clause::Op::bounds: {
        if (!clause.rectValid) return false;
        std::int64_t side[4];
        const char* names[] = {"left", "top", "right", "bottom"};
        for (int i = 0; i < 4; ++i) {
          const std::string* text = element.findAttr(names[i]);
          const auto n = text ? platform::parseDecimal(*text) : std::nullopt;
          if (!n) return false;
          side[i] = *n;
        }
        if (side[2] < side[0] || side[3] < side[1]) return false;
        if (side[0] < clause.rect[0] || side[1] < clause.rect[1] || side[2] > clause.rect[2] ||
            side[3] > clause.rect[3]) {
          return false;
        }
        break;
      }
    }
  }
  return true;
}

}  // namespace vistrel::node::internal
