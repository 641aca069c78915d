#include "cli/Host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "tests/support/TestImages.h"

namespace vistrel::cli {
namespace {

using nlohmann::json;

const std::string kScreen = VISTREL_EXAMPLES_DIR "/screen.png";

json answer(Host& host, const std::string& line) { return json::parse(host.handle(line)); }

TEST(Host, RegistryOperationsThroughRequests) {
  Host host;
  const json added =
      answer(host, R"({"op":"addImage","args":[{"file":")" + kScreen + R"("}],"as":"s","id":7})");
  ASSERT_TRUE(added.contains("result")) << added.dump();
  EXPECT_EQ(added["id"], 7);
  EXPECT_EQ(added["result"].get<std::string>().size(), 32u);
  EXPECT_TRUE(added["ms"].is_number());
  EXPECT_EQ(answer(host, R"({"op":"getWidth","args":["{\"imageId\":\"${s}\"}"]})")["result"],
            "1170");
  EXPECT_EQ(answer(host, R"({"op":"getHeight","args":["{\"imageId\":\"${s}\"}"]})")["result"],
            "2532");
  EXPECT_EQ(
      answer(
          host,
          R"({"op":"pixelRGB","args":["{\"imageId\":\"${s}\",\"x\":100,\"y\":1420}"]})")["result"],
      "#FF3B30");
  EXPECT_EQ(
      answer(host,
             R"({"op":"pixel","args":["{\"imageId\":\"${s}\",\"x\":100,\"y\":1420}"]})")["result"],
      "4281351167");
  EXPECT_EQ(answer(host, R"({"op":"isRecycled","args":["${s}"]})")["result"], "");
  EXPECT_EQ(answer(host, R"({"op":"removeImage","args":["${s}"]})")["result"], "ok");
  EXPECT_EQ(answer(host, R"({"op":"isRecycled","args":["${s}"]})")["result"], "ok");
  EXPECT_EQ(answer(host, R"({"op":"isRecycled","args":[null]})")["result"], "");
  EXPECT_EQ(answer(host, R"({"op":"removeAllImage"})")["result"], "ok");
}

TEST(Host, UnusableRequestsAnswerAnErrorAndKeepTheState) {
  Host host;
  answer(host, R"({"op":"addImage","args":[{"file":")" + kScreen + R"("}],"as":"s"})");
  const char* bad[] = {
      "not json",
      "[1,2]",
      R"({"args":[]})",
      R"({"op":"noSuchOperation"})",
      R"({"op":"getWidth"})",
      R"({"op":"getWidth","args":[1]})",
      R"({"op":"getWidth","args":["a","b"]})",
      R"({"op":"getWidth","args":["${unknown}"]})",
      R"({"op":"addImage","args":["screen.png"]})",
      R"({"op":"addImage","args":[{"base64":"$$$"}]})",
      R"({"op":"getWidth","args":"x"})",
  };
  for (const char* line : bad) {
    const json response = answer(host, line);
    EXPECT_TRUE(response.contains("error")) << line;
    EXPECT_FALSE(response.contains("result")) << line;
  }
  EXPECT_EQ(answer(host, R"({"op":"getWidth","args":["{\"imageId\":\"${s}\"}"]})")["result"],
            "1170");
}

TEST(Host, AbsentAndUndecodableImagesAreAbsentArguments) {
  Host host;
  EXPECT_EQ(answer(host, R"({"op":"addImage","args":[null]})")["result"], "");
  EXPECT_EQ(answer(host, R"({"op":"addImage","args":[{"file":"/nonexistent.png"}]})")["result"],
            "");
  EXPECT_EQ(answer(host, R"({"op":"addImage","args":[{"base64":"aGVsbG8="}]})")["result"], "");
}

TEST(Host, BytesResultsAsBase64OrSaved) {
  Host host;
  answer(host, R"({"op":"addImage","args":[{"file":")" + kScreen + R"("}],"as":"s"})");
  const json inline_ = answer(host, R"({"op":"getAutoImageData","args":["${s}"]})");
  EXPECT_GT(inline_["result"]["size"].get<int>(), 1000);
  EXPECT_TRUE(inline_["result"]["base64"].get<std::string>().starts_with("/9j/"));  // JPEG
  const auto path = std::filesystem::temp_directory_path() / "vistrel_host_test.jpg";
  const json saved = answer(
      host, R"({"op":"getAutoImageData","args":["${s}"],"save":")" + path.string() + R"("})");
  EXPECT_EQ(saved["result"]["file"], path.string());
  EXPECT_EQ(std::filesystem::file_size(path), saved["result"]["size"].get<std::size_t>());
  std::filesystem::remove(path);
  EXPECT_TRUE(answer(host, R"({"op":"getAutoImageData","args":[null]})")["result"].is_null());
}

TEST(Host, SearchesOnTheBundledScreenshot) {
  Host host;
  answer(host, R"({"op":"addImage","args":[{"file":")" + kScreen + R"("}],"as":"s"})");
  answer(host,
         R"({"op":"addImage","args":[{"file":")" VISTREL_EXAMPLES_DIR R"(/icon.png"}],"as":"i"})");
  EXPECT_EQ(
      answer(
          host,
          R"({"op":"findColor","args":["{\"imageId\":\"${s}\",\"firstColor\":\"FF3B30\",\"limit\":1,\"orz\":1}"]})")
          ["result"],
      R"([{"x":80,"y":1400,"index":0}])");
  EXPECT_EQ(
      answer(
          host,
          R"({"op":"findImageByColor","args":["{\"imageId\":\"${s}\",\"templateId\":\"${i}\",\"limit\":5}"]})")
          ["result"],
      R"([{"x":94,"y":942,"index":0}])");
  EXPECT_EQ(
      answer(
          host,
          R"({"op":"cmpColor","args":["{\"imageId\":\"${s}\",\"firstColor\":\"945|420|34C759\"}"]})")
          ["result"],
      "0");
}

// The command itself: standard output carries only response lines, in order.
TEST(VistrelCommand, ServeAnswersEveryLineInOrder) {
  const auto input = std::filesystem::temp_directory_path() / "vistrel_serve_input.jsonl";
  {
    std::ofstream out(input);
    out << R"({"op":"addImage","args":[{"file":")" << kScreen << R"("}],"as":"s"})" << '\n'
        << "garbage\n"
        << R"({"op":"removeAllImage"})" << '\n'
        << R"({"op":"getWidth","args":["{\"imageId\":\"${s}\"}"]})" << '\n';
  }
  const std::string command =
      std::string(VISTREL_BINARY) + " serve < " + input.string() + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_TRUE(pipe);
  std::vector<json> lines;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, pipe)) lines.push_back(json::parse(buffer));
  EXPECT_EQ(pclose(pipe), 0);
  std::filesystem::remove(input);
  ASSERT_EQ(lines.size(), 4u);  // the removal's log line went to standard error
  EXPECT_EQ(lines[0]["result"].get<std::string>().size(), 32u);
  EXPECT_TRUE(lines[1].contains("error"));
  EXPECT_EQ(lines[2]["result"], "ok");
  EXPECT_EQ(lines[3]["result"], "0");
}

TEST(VistrelCommand, CallTakesFilesForImageArguments) {
  const std::string command = std::string(VISTREL_BINARY) + " call addImage @" + kScreen;
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_TRUE(pipe);
  char buffer[4096] = {};
  ASSERT_TRUE(std::fgets(buffer, sizeof buffer, pipe));
  EXPECT_EQ(pclose(pipe), 0);
  EXPECT_EQ(json::parse(buffer)["result"].get<std::string>().size(), 32u);
}

}  // namespace
}  // namespace vistrel::cli
