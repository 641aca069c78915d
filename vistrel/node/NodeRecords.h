#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel::node {

/// One set of conditions on an element; scripts send a JSON array of them. Every field is an
/// optional text; an absent or empty one sets no condition.
struct NodeSelector {
  std::optional<std::string> name, label, nameMatch, id, idMatch, value, valueMatch, type,
      typeMatch, labelMatch, enable, accessible, index, childcount, visible, depth, selected, nid,
      bounds, xpath;

  /// Decodes a JSON array of selector objects: absent when the text is no array, an entry is no
  /// object, or a known key holds anything but a string or null. Writes the error as one line.
  static std::optional<std::vector<NodeSelector>> decodeList(std::string_view text);
};

/// A screen rectangle; each side optional.
struct Rect2 {
  std::optional<std::int64_t> left, right, top, bottom;
  bool operator==(const Rect2&) const = default;
};

/// The description of one element.
struct NodeInfo {
  std::optional<std::string> name, label, id, value, type;
  std::optional<bool> enable, accessible;
  std::optional<std::int64_t> index, childcount;
  std::optional<bool> visible;
  std::optional<std::int64_t> depth;
  std::optional<bool> selected;
  std::optional<std::string> nid;
  std::optional<Rect2> bounds;

  /// Compact JSON, absent fields left out, fields in the record's order.
  nlohmann::ordered_json toJson() const;
};

/// The parameters with which the host asks its device agent for the element tree.
struct FetchNodeParam {
  std::string nodeFormat = "xml2";
  std::string boundsFilter = "1";
  std::string visibleFilter = "1";
  std::string labelFilter = "1";
  std::string maxDepth = "60";
  std::string maxChildCount = "10000";
  std::string excluded_attributes;

  /// Needs all seven keys with string values.
  static std::optional<FetchNodeParam> decode(std::string_view text);
  nlohmann::ordered_json toJson() const;
};

}  // namespace vistrel::node
