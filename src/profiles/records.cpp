#include "profiles/records.h"

#include <string>

#include "profiles/form1.h"
#include "profiles/stack.h"

namespace vark {
namespace {

constexpr int kColumnLefts[] = {180, 3330, 6480};
constexpr int kColumnTop = 1200;
constexpr int kColumnWidth = 2940;
constexpr int kColumnHeight = 4680;
constexpr int kFirstRowTop = 720;
constexpr int kRowStep = 1290;
constexpr int kFaceSize = 780;
constexpr int kTextLeft = 1260;  // names and results, right of the faces
constexpr double kSmallestNamePt = 7;
const std::vector<RecordEntry> kNoEntries;

const Color kPanelBack = RGB(16, 0, 0);
const Color kHeaderGreen = RGB(0, 255, 0);
const Color kPlaceColors[] = {RGB(255, 215, 0), RGB(210, 210, 225), RGB(215, 130, 60)};  // gold, silver, bronze

void StyleText(Label& label, Color color, const FontSpec& font, Align align = Align::Left) {
  label.SetForeColor(color);
  label.SetTransparent(true);
  label.SetFont(font);
  label.SetAlignment(align);
}

}  // namespace

Records::Records() : Form("Records") {
  BuildColumns();
  Style();
  BtnBack.OnClick = [this] { Back(); };
  // Without a mouse: "Назад" has the focus ring, and Escape (a controller's B) goes back.
  SetFirstFocus({&BtnBack});
  SetEscapeButtons({&BtnBack});
}

void Records::BuildColumns() {
  for (int c = 0; c < kColumns; ++c) {
    PictureBox& panel =
        *Column.emplace_back(&AddPictureBox("Column", {kColumnLefts[c], kColumnTop, kColumnWidth, kColumnHeight}));
    Header.push_back(&AddLabel("Header", {0, 150, kColumnWidth, 420}, &panel, c));
    Empty.push_back(&AddLabel("Empty", {0, 2100, kColumnWidth, 375}, &panel, c));
    for (int r = 0; r < kRows; ++r) {
      int top = kFirstRowTop + r * kRowStep;
      int i = c * kRows + r;
      Place.push_back(&AddLabel("Place", {30, top + 120, 360, 555}, &panel, i));
      Face.push_back(&AddImage("Face", {390, top, kFaceSize, kFaceSize}, &panel, i));
      Name.push_back(&AddLabel("Name", {kTextLeft, top + 30, kColumnWidth - kTextLeft - 60, 345}, &panel, i));
      Value.push_back(&AddLabel("Value", {kTextLeft, top + 405, kColumnWidth - kTextLeft - 60, 375}, &panel, i));
    }
  }
}

void Records::Style() {
  Backdrop.SetStretch(true);
  Title.SetFont(FontSpec{"Arial Black", 20, true});
  const std::pair<int, int32_t> title[] = {{btn::kCaptionColor, 128},
                                           {btn::kHoverCaptionColor, 255},
                                           {btn::kStyle, btn::kCaptionBox},
                                           {btn::kShadowColor, 255},
                                           {btn::kShadowDepth, 3}};
  for (auto [number, value] : title) Title.SetProperty(number, value);
  for (int c = 0; c < kColumns; ++c) {
    Column[c]->SetBackColor(kPanelBack);
    Column[c]->SetBorder(true);
    StyleText(*Header[c], kHeaderGreen, FontSpec{"Arial Black", 13, true}, Align::Center);
    Header[c]->SetCaption(EpisodeListName(kRecordedEpisodes[c]));
    StyleText(*Empty[c], RGB(160, 160, 160), FontSpec{"Arial", 11, true}, Align::Center);
    Empty[c]->SetCaption("ПОКА ПУСТО");
  }
  for (size_t i = 0; i < Face.size(); ++i) {
    int row = static_cast<int>(i) % kRows;
    StyleText(*Place[i], kPlaceColors[row], FontSpec{"Impact", 26, false}, Align::Center);
    Place[i]->SetCaption(std::to_string(row + 1));
    Place[i]->SetShadow(RGB(0, 0, 0), 2);
    Face[i]->SetStretch(true);
    StyleText(*Name[i], kWhite, FontSpec{"Arial Black", 10, true});
    Name[i]->SetFitToWidth(kSmallestNamePt);
    StyleText(*Value[i], kPlaceColors[row], FontSpec{"Arial", 11, true});
    Value[i]->SetFitToWidth(kSmallestNamePt);
  }
  StyleText(Reading, kYellow, FontSpec{"Arial", 11, true}, Align::Center);
  Reading.SetCaption("Читаю профили…");
  BtnBack.SetFont(FontSpec{"Arial Black", 14, true});
  BtnBack.SetColorProperty(btn::kFaceColor, RGB(192, 0, 0));
}

void Records::Form_Load() {
  SetMousePointer(Forms::Get<Stack>().CustomPointer());
  Backdrop.LoadPicture("Texture1.jpg");
  listing_ = std::make_unique<ProfileListing>();
  ShowTable();
  Timer1.SetInterval(1);
}

// First the folder is listed, then the profiles are read, a page each tick.
void Records::Timer1_Timer() {
  if (listing_) {
    if (listing_->ReadPage(kListPage)) {
      scan_ = std::make_unique<ProfileScan>(listing_->Files());
      listing_.reset();
    }
    return;
  }
  if (!scan_->ReadPage(kPageSize)) return;
  Timer1.SetInterval(0);
  ShowTable();
}

// The table as far as the profiles were read: while reading, only the note shows.
void Records::ShowTable() {
  bool done = scan_ && scan_->Done();
  Reading.SetVisible(!done);
  for (int c = 0; c < kColumns; ++c) {
    const auto& best = done ? scan_->Table().Best(kRecordedEpisodes[c]) : kNoEntries;
    Empty[c]->SetVisible(done && best.empty());
    for (int r = 0; r < kRows; ++r) {
      int i = c * kRows + r;
      bool shown = done && r < static_cast<int>(best.size());
      for (Control* part : std::initializer_list<Control*>{Place[i], Face[i], Name[i], Value[i]})
        part->SetVisible(shown);
      if (!shown) continue;
      const RecordEntry& entry = best[r];
      Face[i]->SetPicture(LoadFace(entry.faceFile));
      Name[i]->SetCaption(entry.name);
      Value[i]->SetCaption(ResultText(kRecordedEpisodes[c], entry.result));
    }
  }
}

// The menu beneath plays the sound: this screen's own channels stop as it goes.
void Records::Back() {
  if (Forms::IsLoaded<Form1>()) Forms::Get<Form1>().Play2();
  Forms::Unload(*this);
}

}  // namespace vark
