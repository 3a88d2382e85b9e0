// The table of records: the best three results of each episode among every profile in the
// player's folder, each with its face, name and result. Opened over the main menu from
// the profile list ("Таблица рекордов"); "Назад" or Escape goes back to the list. The
// profiles are read a page at a time between events, so the screen answers at once
// however many there are.
#pragma once

#include <memory>
#include <vector>

#include "platform/forms/btnenh.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "profiles/record_table.h"

namespace vark {

class Records : public Form {
 public:
  Records();
  void Form_Load() override;

  static constexpr int kColumns = 3;  // one per episode that keeps results
  static constexpr int kRows = static_cast<int>(RecordTable::kPlaces);

  Image& Backdrop = AddImage("Backdrop", {0, 0, 9600, 7200});
  BtnEnh& Title = AddButton("Title", {1200, 240, 7200, 735}, "ТАБЛИЦА РЕКОРДОВ");
  // One panel per episode: its name, then three places with face, name and result,
  // indexed column * kRows + row.
  std::vector<PictureBox*> Column;
  std::vector<Label*> Header;
  std::vector<Label*> Place;
  std::vector<Image*> Face;
  std::vector<Label*> Name;
  std::vector<Label*> Value;
  std::vector<Label*> Empty;                                      // "ПОКА ПУСТО" in a column without results
  Label& Reading = AddLabel("Reading", {1200, 6000, 7200, 375});  // while profiles are read
  BtnEnh& BtnBack = AddButton("BtnBack", {3720, 6420, 2160, 615}, "Назад");

  // Reads the next page of profiles until all are read.
  Timer& Timer1 = AddTimer("Timer1", 0, [this] { Timer1_Timer(); });

  // Profiles read per page: a few milliseconds of work between two events.
  static constexpr size_t kPageSize = 100;
  static constexpr size_t kListPage = 1000;  // folder entries listed per tick

 private:
  void BuildColumns();
  void Style();
  void Timer1_Timer();
  void ShowTable();
  void Back();

  std::unique_ptr<ProfileListing> listing_;
  std::unique_ptr<ProfileScan> scan_;
};

}  // namespace vark
