// Draws the bundled sample screenshot (a 1170 x 2532 phone screen) and the icon template cut from
// it. Run once; the PNG files it writes are committed under examples/.
//   make_samples OUTPUT_DIR

#include <cstdio>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <string>

namespace {

// Colours as the screen shows them (OpenCV draws in BGR order).
cv::Scalar rgb(int r, int g, int b) { return {double(b), double(g), double(r)}; }

void button(cv::Mat& screen, cv::Rect box, cv::Scalar fill, const std::string& label) {
  cv::rectangle(screen, box, fill, cv::FILLED, cv::LINE_8);
  int baseline = 0;
  const auto size = cv::getTextSize(label, cv::FONT_HERSHEY_SIMPLEX, 1.6, 3, &baseline);
  cv::putText(screen, label,
              {box.x + (box.width - size.width) / 2, box.y + (box.height + size.height) / 2},
              cv::FONT_HERSHEY_SIMPLEX, 1.6, rgb(255, 255, 255), 3, cv::LINE_AA);
}

// A 40 x 40 icon: a white square with a red ring and a blue dot, not symmetric.
void icon(cv::Mat& screen, cv::Point at) {
  const cv::Rect box(at.x, at.y, 40, 40);
  cv::rectangle(screen, box, rgb(255, 255, 255), cv::FILLED);
  cv::circle(screen, at + cv::Point(20, 20), 14, rgb(255, 59, 48), 4, cv::LINE_8);
  cv::circle(screen, at + cv::Point(27, 13), 4, rgb(0, 122, 255), cv::FILLED, cv::LINE_8);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_samples OUTPUT_DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  cv::Mat screen(2532, 1170, CV_8UC3);
  // A soft vertical gradient, as app backgrounds have.
  for (int y = 0; y < screen.rows; ++y) {
    const int shade = 236 + (y * 12) / screen.rows;
    screen.row(y).setTo(rgb(shade, shade, std::min(255, shade + 6)));
  }
  // Status bar and navigation bar.
  cv::rectangle(screen, {0, 0, 1170, 140}, rgb(28, 28, 30), cv::FILLED);
  cv::putText(screen, "9:41", {60, 100}, cv::FONT_HERSHEY_SIMPLEX, 1.8, rgb(255, 255, 255), 4,
              cv::LINE_AA);
  cv::rectangle(screen, {0, 140, 1170, 160}, rgb(248, 248, 250), cv::FILLED);
  cv::putText(screen, "Settings", {60, 250}, cv::FONT_HERSHEY_SIMPLEX, 2.4, rgb(0, 0, 0), 5,
              cv::LINE_AA);
  // List rows.
  const char* rows[] = {"Wi-Fi", "Bluetooth", "Mobile Data", "Notifications", "Sounds"};
  for (int i = 0; i < 5; ++i) {
    const int top = 360 + i * 170;
    cv::rectangle(screen, {40, top, 1090, 150}, rgb(255, 255, 255), cv::FILLED);
    cv::putText(screen, rows[i], {200, top + 95}, cv::FONT_HERSHEY_SIMPLEX, 1.7, rgb(0, 0, 0), 3,
                cv::LINE_AA);
    // A green switch on rows 0 and 2, a grey one elsewhere.
    const bool on = i % 2 == 0;
    cv::rectangle(screen, {930, top + 45, 130, 60}, on ? rgb(52, 199, 89) : rgb(229, 229, 234),
                  cv::FILLED);
    cv::circle(screen, {on ? 1030 : 960, top + 75}, 26, rgb(255, 255, 255), cv::FILLED);
  }
  // The icon the demo looks for, on row 3.
  icon(screen, {90, 360 + 3 * 170 + 55});
  // Buttons: a red one (about 1% of the screen) and a blue one.
  button(screen, {80, 1400, 1010, 180}, rgb(255, 59, 48), "Delete Account");
  button(screen, {80, 1640, 1010, 180}, rgb(0, 122, 255), "Sign Out");
  cv::putText(screen, "Version 1.2.3 (build 45)", {300, 2000}, cv::FONT_HERSHEY_SIMPLEX, 1.3,
              rgb(142, 142, 147), 2, cv::LINE_AA);
  // Home indicator.
  cv::rectangle(screen, {385, 2480, 400, 14}, rgb(0, 0, 0), cv::FILLED);

  cv::imwrite(dir + "/screen.png", screen);
  cv::Mat tmpl = screen(cv::Rect(90, 360 + 3 * 170 + 55, 40, 40)).clone();
  cv::imwrite(dir + "/icon.png", tmpl);
  return 0;
}
