// Prints how long the profile list takes to answer the click on "Профиль", and how long
// the table of records takes to read every profile, with 20,000 profiles in the player's
// folder (each read between events, a page at a time).
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "profiles/form1.h"
#include "profiles/records.h"
#include "support/driver.h"

using namespace vark;

namespace {

constexpr int kProfiles = 20000;

double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void WriteProfiles(TempFolder& dir) {
  dir.WritePicture("VarKers/Face01.dat", 16, 16, 200, 40, 40);
  for (int i = 0; i < kProfiles; ++i) {
    std::ofstream(dir.Path() / ("Player" + std::to_string(i) + ".pro"), std::ios::binary)
        << "Face01.dat\r\n"
        << i << "\r\n3 \xE8\xE7 7\r\n\xF4\xF0\xE0\xE3\r\n\xF4\xF0\xE0\xE3\r\n";
  }
}

}  // namespace

int main() {
  Driver d;
  TempFolder dir;
  WriteProfiles(dir);
  Form1& menu = Forms::Show<Form1>();
  d.Advance(120);
  auto start = std::chrono::steady_clock::now();
  d.Click(menu.Btn4);
  std::printf("profile list of %d profiles answers the click after %.1f ms\n", kProfiles, MsSince(start));
  int pages = 1;
  while (menu.ListNote.Visible()) {
    d.Advance(1);
    ++pages;
  }
  std::printf("its first three profiles show after %.1f ms, %d passes of the loop\n", MsSince(start), pages);
  start = std::chrono::steady_clock::now();
  d.Click(menu.BtnDn);
  std::printf("one step down the list: %.1f ms\n", MsSince(start));
  start = std::chrono::steady_clock::now();
  d.Click(menu.BtnRec);
  std::printf("table of records opens after %.1f ms\n", MsSince(start));
  Records& records = Forms::Get<Records>();
  pages = 0;
  double longest = 0;
  start = std::chrono::steady_clock::now();
  while (records.Reading.Visible()) {
    auto page = std::chrono::steady_clock::now();
    d.Advance(1);
    longest = std::max(longest, MsSince(page));
    ++pages;
  }
  std::printf("table of records read in %d passes, %.0f ms in all, the longest %.1f ms\n", pages, MsSince(start),
              longest);
  return 0;
}
