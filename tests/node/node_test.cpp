#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "tests/support/TestImages.h"
#include "vistrel/api/AutoApi.h"
#include "vistrel/node/JsoupSelect.h"
#include "vistrel/node/NodeManager.h"
#include "vistrel/node/NodeManagerThread.h"
#include "vistrel/node/internal/Query.h"

namespace vistrel::node {
namespace {

using nlohmann::json;

std::string fixture() {
  std::ifstream in(VISTREL_TEST_DATA "/page.xml");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<NodeSelector> selectors(const char* text) { return *NodeSelector::decodeList(text); }

TEST(NodeSelectorList, ValidAndInvalidTexts) {
  test::CapturedOutput out;
  const std::pair<const char*, bool> cases[] = {{R"([{"name":"OK"}])", true},
                                                {R"([{"index":"2"}])", true},
                                                {"[]", true},
                                                {R"([{"index":2}])", false},
                                                {R"([{"name":true}])", false},
                                                {R"({"name":"OK"})", false},
                                                {"[1]", false},
                                                {"not json", false},
                                                {R"([{"foo":1,"name":null}])", true}};
  for (const auto& [text, ok] : cases) {
    EXPECT_EQ(NodeSelector::decodeList(text).has_value(), ok) << text;
  }
  const auto one = selectors(R"([{"name":"OK"}])");
  EXPECT_EQ(one[0].name, "OK");
  EXPECT_FALSE(one[0].label);
}

TEST(Translation, FieldOrderXpathAndBounds) {
  struct Case {
    const char* selectors;
    const char* query;
  };
  const Case cases[] = {
      {R"([{"type":"Button","name":"OK"}])", "[name='OK'][type='Button']"},
      {R"([{"nameMatch":"^Se.*"}])", "[name~=^Se.*]"},
      {R"([{"label":"a"},{"label":"b"}])", "[label='a'][label='b']"},
      {R"([{"bounds":"0,0,375,300"}])", "[left:bounds='0,0,375,300']"},
      {R"([{"bounds":"0,0,375"}])", ""},
      {R"([{"bounds":"0,0,375,300,9"}])", "[left:bounds='0,0,375,300']"},
      {R"([{"name":"a"},{"xpath":"//button"},{"name":"b"}])", "xpath://button"},
      {R"([{"xpath":"","name":"a"}])", "[name='a']"},
      {R"([{"name":""}])", ""},
      {R"([{}])", ""},
      {"[]", ""},
      {R"([{"nid":"X","selected":"true","depth":"2","visible":"false"}])",
       "[visible='false'][depth='2'][selected='true'][nid='X']"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JsoupSelect::convertJsoupSelect(selectors(c.selectors)), c.query) << c.selectors;
  }
}

Node element(std::vector<std::pair<std::string, std::string>> attributes) {
  Node n(Node::Kind::element, "e");
  for (auto& [k, v] : attributes) n.setAttr(k, v);
  return n;
}

TEST(QueryLanguage, Conditions) {
  const Node inside = element({{"left", "10"},
                               {"top", "20"},
                               {"right", "375"},
                               {"bottom", "300"},
                               {"name", " OK "},
                               {"label", "Sign Out"}});
  const Node wider = element({{"left", "10"}, {"top", "20"}, {"right", "376"}, {"bottom", "300"}});
  const Node noRight = element({{"left", "10"}, {"top", "20"}, {"bottom", "300"}});
  struct Case {
    const char* query;
    const Node* node;
    bool selected;
  };
  const Case cases[] = {
      {"[left:bounds='0,0,375,300']", &inside, true},
      {"[left:bounds='0,0,375,300']", &wider, false},
      {"[left:bounds='0,0,375,300']", &noRight, false},
      {"[left:bounds='0,0,a,300']", &inside, false},
      {"[name='ok']", &inside, true},
      {"[NAME='ok']", &inside, true},
      {"[name=\"OK\"]", &inside, true},
      {"[name=OK]", &inside, true},
      {"[name='no']", &inside, false},
      {"[missing='']", &inside, false},
      {"[label~=^Sign]", &inside, true},
      {"[label~=sign]", &inside, false},
      {"[label~=[A-Z]ut]", &inside, true},
      {"[name='ok'][label~=Out]", &inside, true},
  };
  for (const auto& c : cases) {
    std::string error;
    const auto query = internal::Query::compile(c.query, error);
    ASSERT_TRUE(query) << c.query << ": " << error;
    EXPECT_EQ(query->matches(*c.node), c.selected) << c.query;
  }
}

TEST(QueryLanguage, SelectionErrors) {
  for (const char* bad : {"", "name", "[name='a'b']", "[name='a]", "[name=a]b]", "[name!='a']",
                          "[name^=a]", "div", "[name='x'] span", "[label~=(]", "[='x']"}) {
    std::string error;
    EXPECT_FALSE(internal::Query::compile(bad, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

TEST(QueryLanguage, CatastrophicPatternIsBounded) {
  std::string error;
  const auto query = internal::Query::compile("[name~=^(a+)+$]", error);
  ASSERT_TRUE(query);
  const Node victim = element({{"name", std::string(5000, 'a') + "!"}});
  EXPECT_FALSE(query->matches(victim));  // gives up at its limit, answers quickly
}

class Manager : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(manager.parse(fixture())); }

  std::string nidOf(const char* selectorList) {
    return json::parse(manager.getOneNodeInfo(selectorList))["nid"].get<std::string>();
  }

  NodeManager manager;
  test::CapturedOutput console;
};

TEST_F(Manager, LoadShapeAndDerivedAttributes) {
  // html, head and body are generated; the document node carries a nid too.
  const auto all = *manager.select("[childcount~=.]");
  ASSERT_GE(all.elements.size(), 4u);
  EXPECT_EQ(all.elements[0]->name(), "#root");
  EXPECT_EQ(all.elements[1]->name(), "html");
  EXPECT_EQ(all.elements[2]->name(), "head");
  EXPECT_EQ(all.elements[3]->name(), "body");
  EXPECT_EQ(all.elements[0]->attr("nid").size(), 32u);
  EXPECT_EQ(all.elements[0]->attr("childcount"), "1");
  const auto text = *manager.select("[name='Settings'][type='StaticText']");
  ASSERT_EQ(text.elements.size(), 1u);
  const Node& t = *text.elements[0];
  EXPECT_EQ(t.name(), "xcuielementtypestatictext");
  EXPECT_EQ(t.attr("left"), "20");
  EXPECT_EQ(t.attr("top"), "60");
  EXPECT_EQ(t.attr("right"), "140");
  EXPECT_EQ(t.attr("bottom"), "88");
  EXPECT_EQ(t.attr("childcount"), "0");
  // Self-closing leaves stay leaves: the table still has its five cells.
  EXPECT_EQ(manager.select("[type='Table']")->elements[0]->attr("childcount"), "5");
}

TEST_F(Manager, NidsChangeWithEveryLoad) {
  const std::string before = nidOf(R"([{"name":"Sign Out"}])");
  ASSERT_TRUE(manager.parse(fixture()));
  EXPECT_NE(nidOf(R"([{"name":"Sign Out"}])"), before);
  EXPECT_FALSE(manager.parse(""));  // the empty text keeps the document
  EXPECT_TRUE(manager.hasDocument());
}

TEST_F(Manager, SearchAnswers) {
  // The navigation bar, the table and the text without bounds match "enable true, depth 2"...
  const json all = json::parse(manager.getNodeInfo(R"([{"depth":"2"}])"));
  EXPECT_EQ(all.size(), 4u);  // the version text has no bounds and is left out
  EXPECT_EQ(manager.getOneNodeInfo(R"x([{"name":"Version 1.2.3 (build 45)"}])x"), "null");
  EXPECT_EQ(manager.getNodeInfo(R"([{"name":"Nothing"}])"), "");
  EXPECT_EQ(manager.getOneNodeInfo(R"([{"name":"Nothing"}])"), "");
  EXPECT_EQ(manager.getNodeInfo("[{\"name\":\"x']\"}]"), "");  // a quote in the value
  EXPECT_EQ(manager.getNodeInfo("not json"), "");
  const json button = json::parse(manager.getOneNodeInfo(R"([{"type":"Button"}])"));
  EXPECT_EQ(button["name"], "Delete Account");
  EXPECT_EQ(button["id"], "");
  EXPECT_EQ(button["bounds"], json::parse(R"({"left":26,"right":364,"top":452,"bottom":512})"));
  EXPECT_FALSE(button.contains("selected"));
}

TEST_F(Manager, XpathRequests) {
  const json found =
      json::parse(manager.getNodeInfo(R"([{"xpath":"//*[attribute::name='Sign Out']"}])"));
  ASSERT_EQ(found.size(), 1u);
  const std::string nid = found[0]["nid"];
  EXPECT_FALSE(manager.getNodeInfoParent(nid).empty());  // navigation goes on from it
  EXPECT_EQ(manager.getNodeInfo(R"x([{"xpath":"count(//*)"}])x"), "");
  EXPECT_EQ(manager.getNodeInfo(R"([{"xpath":"//*["}])"), "");
  const json label =
      json::parse(manager.getNodeInfo(R"([{"xpath":"//*[@label='Notifications & Alerts']"}])"));
  EXPECT_EQ(label[0]["label"], "Notifications & Alerts");  // &amp; copied as &
  const std::string cell = nidOf(R"([{"name":"Sounds","type":"Cell"}])");
  const json inside =
      json::parse(manager.getNodeInfoForNode(cell, R"([{"xpath":"/html/body/hierarchy/*"}])"));
  EXPECT_EQ(inside.size(), 2u);
}

TEST_F(Manager, TestXpathWrapsSingleElements) {
  EXPECT_EQ(json::parse(manager.testXpath(R"(<e name="a" bounds="[1,2][3,4]"/>)",
                                          "/html/body/hierarchy/*"))[0]["name"],
            "a");
  EXPECT_EQ(manager.testXpath("<e/>", "//nothing"), "");
}

TEST_F(Manager, Navigation) {
  const std::string table = nidOf(R"([{"type":"Table"}])");
  const std::string third = nidOf(R"([{"type":"Cell","index":"2"}])");
  const std::string leaf = nidOf(R"([{"name":"Sign Out"}])");
  const auto names = [](const std::string& answer) {
    std::vector<std::string> out;
    for (const auto& n : json::parse(answer)) out.push_back(n["name"]);
    return out;
  };
  using V = std::vector<std::string>;
  EXPECT_EQ(names(manager.getPreviousSiblingNodeInfo(third)), (V{"Wi-Fi", "Bluetooth"}));
  EXPECT_EQ(names(manager.getNextSiblingNodeInfo(third)), (V{"Notifications", "Sounds"}));
  EXPECT_EQ(names(manager.getSiblingNodeInfo(third)),
            (V{"Wi-Fi", "Bluetooth", "Notifications", "Sounds"}));
  EXPECT_EQ(names(manager.getNodeInfoAllChildren(table)).size(), 5u);
  EXPECT_EQ(json::parse(manager.getNodeInfoParent(third))["type"], "Table");
  EXPECT_EQ(manager.getNodeInfoAllChildren(leaf), "[]");
  EXPECT_EQ(manager.getNodeInfoChild(leaf, 0), "");
  EXPECT_EQ(json::parse(manager.getNodeInfoChild(table, 4))["name"], "Sounds");
  EXPECT_EQ(manager.getNodeInfoChild(table, 5), "");
  EXPECT_EQ(manager.getNodeInfoChild(table, -1), "");
  EXPECT_EQ(manager.getNodeInfoParent("UNKNOWN"), "");
  EXPECT_EQ(manager.getNodeInfoParent(""), "");
  // Lower case finds the node, but siblings do not recognise it among its parent's children.
  std::string lower = third;
  for (char& c : lower) c = static_cast<char>(std::tolower(c));
  EXPECT_EQ(names(manager.getSiblingNodeInfo(lower)).size(), 5u);
  EXPECT_EQ(manager.getNextSiblingNodeInfo(lower), "[]");
  // The document node has no parent and no siblings.
  const std::string root = manager.select("[childcount~=.]")->elements[0]->attr("nid");
  EXPECT_EQ(manager.getNodeInfoParent(root), "");
  EXPECT_EQ(manager.getSiblingNodeInfo(root), "");
  // A search inside a node finds the node itself when it matches.
  EXPECT_EQ(json::parse(manager.getOneNodeInfoForNode(table, R"([{"type":"Table"}])"))["nid"],
            table);
  EXPECT_EQ(json::parse(manager.getNodeInfoForNode(table, R"([{"type":"Switch"}])")).size(), 5u);
  EXPECT_EQ(manager.getNodeInfoForNode(leaf, R"([{"type":"Switch"}])"), "");
}

TEST_F(Manager, ParseNidRewritesTheBody) {
  const std::string rewritten = manager.parseNid(R"(<a name="x"/>)");
  EXPECT_TRUE(rewritten.starts_with("<!--?xml version=\"1.0\" encoding=\"UTF-8\"?-->\n<a "));
  EXPECT_NE(rewritten.find(" nid=\""), std::string::npos);
  EXPECT_EQ(manager.parseNid(""), "");
}

TEST(Conversion, BoundsAndBooleans) {
  struct Case {
    const char* bounds;
    const char* expected;  // the bounds member, or "none"
  };
  const Case cases[] = {{"[10,20][110,50]", R"({"left":10,"right":110,"top":20,"bottom":50})"},
                        {"[10,20]", "none"},
                        {"[a,20][110,50]", R"({"right":110,"top":20,"bottom":50})"}};
  for (const auto& c : cases) {
    Node n(Node::Kind::element, "e");
    n.setAttr("bounds", c.bounds);
    n.setAttr("visible", "TRUE");
    n.setAttr("enable", "false");
    const json info = NodeManager::toNodeInfo(n)->toJson();
    if (std::string(c.expected) == "none") {
      EXPECT_FALSE(info.contains("bounds")) << c.bounds;
    } else {
      EXPECT_EQ(info["bounds"], json::parse(c.expected)) << c.bounds;
    }
    EXPECT_FALSE(info.contains("visible"));
    EXPECT_EQ(info["enable"], false);
    EXPECT_EQ(info["label"], "");
  }
  Node empty(Node::Kind::element, "e");
  EXPECT_FALSE(NodeManager::toNodeInfo(empty));
}

TEST(Store, ThreadIdsCachingAndDocuments) {
  auto& api = api::AutoApi::getInstance();
  EXPECT_EQ(api.setDocument("", "<a bounds=\"[0,0][1,1]\" name=\"m\"/>"), "ok");
  EXPECT_TRUE(api.hasDocument("mainWorker"));
  EXPECT_EQ(api.setDocument("store-test", ""), "error");
  EXPECT_FALSE(api.hasDocument("store-test"));
  EXPECT_EQ(api.setDocument("store-test", fixture()), "ok");
  EXPECT_EQ(api.setCacheDocument("store-test", "true"), "ok");
  EXPECT_TRUE(api.isCacheDocument("store-test"));
  EXPECT_EQ(api.setCacheDocument("store-test", "TRUE"), "ok");
  EXPECT_FALSE(api.hasDocument("store-test"));
  EXPECT_FALSE(api.isCacheDocument("store-test"));
  EXPECT_EQ(api.getNodeInfo("store-test", R"([{"name":"m"}])"), "");
  EXPECT_EQ(api.getNodeInfoParent("store-test", std::nullopt), "");
  EXPECT_EQ(api.getNodeInfoChild("", std::nullopt, std::nullopt), "");
  const std::string root = json::parse(api.getOneNodeInfo("", R"([{"name":"m"}])"))["nid"];
  EXPECT_EQ(api.getNodeInfoChild("", root, "x"), "");
  EXPECT_EQ(api.getNodeInfoChild("", root, std::nullopt), "");  // a leaf: no first child
}

TEST(Store, MalformedAndHugeDocuments) {
  NodeManager m;
  test::CapturedOutput console;
  EXPECT_TRUE(m.parse("<<<>>> <a b='"));
  EXPECT_TRUE(m.parse(std::string("\xff\xfe<a>", 5)));
  // 100,000 elements, nested 2,000 deep: loading, serialising and searching never recurse.
  std::string big;
  for (int i = 0; i < 2000; ++i) big += "<g>";
  for (int i = 0; i < 98000; ++i)
    big += "<e bounds=\"[0,0][1,1]\" name=\"n" + std::to_string(i) + "\"/>";
  for (int i = 0; i < 2000; ++i) big += "</g>";
  ASSERT_TRUE(m.parse(big));
  EXPECT_EQ(json::parse(m.getOneNodeInfo(R"([{"name":"n97999"}])"))["name"], "n97999");
}

TEST(Store, ConcurrentThreadsWithTheirOwnDocuments) {
  auto& api = api::AutoApi::getInstance();
  std::vector<std::thread> threads;
  std::atomic<int> wrong{0};
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      const std::string id = "worker" + std::to_string(t);
      for (int i = 0; i < 20; ++i) {
        const std::string name = id + "-" + std::to_string(i);
        api.setDocument(id, "<a bounds=\"[0,0][1,1]\" name=\"" + name + "\"/>");
        const std::string found = api.getOneNodeInfo(id, R"([{"nameMatch":"^worker"}])");
        if (json::parse(found)["name"] != name) ++wrong;
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace vistrel::node
