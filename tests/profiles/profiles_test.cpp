// Creating, listing and loading profiles through the main menu's panels.
#include <algorithm>
#include <filesystem>

#include "episodes/form3.h"
#include "platform/base/utf8.h"
#include "platform/files/codepage.h"
#include "profiles/menu_fixture.h"
#include "profiles/profile_file.h"

namespace vark {
namespace {

using Profiles = MenuTest;

const std::string kNewFile = "Face03.dat\r\nФраг\r\nФраг\r\nФраг\r\nФраг\r\n";

std::string Cp1251(const std::string& utf8) { return *Utf8ToCp1251(utf8); }

TEST_F(Profiles, NewProfileFromFaceAndNameReachesTheEpisodeScreen) {
  WriteFaces(4);
  Form1& m = ChooseFace(2);
  EXPECT_TRUE(m.Entering.Visible());
  EXPECT_EQ(m.Text1.Text(), "Face03");  // the face name is the suggestion
  EXPECT_EQ(m.txt2.Caption(), "Face03_");
  EXPECT_EQ(m.txt3.Caption(), "Face03_");
  EXPECT_TRUE(m.BtnEnh2.Enabled());
  EXPECT_EQ(Forms::Get<Stack>().File, "Face03.dat");

  for (const char* letter : {"В", "а", "с", "я"}) {
    d.Sound().FinishAll();
    int clicks = d.Sound().Plays("Click.wav");
    d.Type(letter);
    EXPECT_EQ(d.Sound().Plays("Click.wav"), clicks + 1);  // every keystroke clicks
  }
  TypeName(m, "Вася");
  EXPECT_EQ(m.txt2.Caption(), "Вася_");
  d.Click(m.BtnEnh2);

  EXPECT_EQ(ReadBytes("Вася.pro"), Cp1251("Face03.dat\r\nФраг\r\nФраг\r\nФраг\r\nФраг\r\n"));
  ASSERT_TRUE(Forms::IsLoaded<Form3>());
  EXPECT_TRUE(Forms::Get<Form3>().Visible());
  EXPECT_FALSE(m.Visible());
  EXPECT_FALSE(m.Mus.IsPlaying());
  EXPECT_EQ(Forms::Get<Stack>().Profile, "Вася");
  EXPECT_EQ(Forms::Get<Form3>().Label2.Caption(), "Вася");
}

TEST_F(Profiles, ExistingNameAsksAndOnlyOkReplacesTheFile) {
  WriteFaces(3);
  const std::string old = "Old.dat\r\n 30\r\nx\r\ny\r\nz\r\n";
  WriteProfileFile("Bob", old);
  Form1& m = ChooseFace(2);
  TypeName(m, "Bob");
  d.Click(m.BtnEnh2);
  EXPECT_TRUE(m.Picture4.Visible());
  EXPECT_EQ(m.Label14.Caption(), "Bob");
  d.Click(m.BtnCan);
  EXPECT_FALSE(m.Picture4.Visible());
  EXPECT_TRUE(m.Entering.Visible());
  EXPECT_EQ(ReadBytes("Bob.pro"), old);
  EXPECT_FALSE(Forms::IsLoaded<Form3>());

  d.Click(m.BtnEnh2);
  d.Click(m.BtnRes);
  EXPECT_EQ(ReadBytes("Bob.pro"), Cp1251(kNewFile));
  EXPECT_TRUE(Forms::IsLoaded<Form3>());
}

TEST_F(Profiles, FailedWriteStaysOnTheNameEntryAndTouchesNothing) {
  WriteFaces(3);
  std::filesystem::create_directory(dir.Path() / "Box.pro");  // cannot be replaced by a file
  Form1& m = ChooseFace(0);
  TypeName(m, "Box");
  d.Click(m.BtnEnh2);
  d.Sound().FinishAll();
  int errors = d.Sound().Plays("Open.wav");
  d.Click(m.BtnRes);
  EXPECT_EQ(d.Sound().Plays("Open.wav"), errors + 1);
  EXPECT_TRUE(m.Entering.Visible());
  EXPECT_EQ(m.NameProblem.Caption(), "Профиль не сохранён");  // the panel says so
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "Box.pro"));
  EXPECT_FALSE(Forms::IsLoaded<Form3>());
}

TEST_F(Profiles, NameBoxRefusesWhatCannotBeAFileName) {
  WriteFaces(1);
  Form1& m = ChooseFace(0);
  TypeName(m, "a/b\\c:d*e?f\"g<h>i|j\tk");
  EXPECT_EQ(m.Text1.Text(), "abcdefghijk");
  TypeName(m, "Ёжик Ω-1");  // Cyrillic kept; a letter Windows-1251 lacks is refused
  EXPECT_EQ(m.Text1.Text(), "Ёжик -1");
  TypeName(m, std::string(70, 'x'));
  EXPECT_EQ(Utf8Length(m.Text1.Text()), 64u);
  for (const char* bad : {"", "...", "   ", ". ."}) {
    TypeName(m, bad);
    EXPECT_FALSE(m.BtnEnh2.Enabled()) << '"' << bad << '"';
  }
  EXPECT_EQ(m.NameProblem.Caption(), "Точка или пробел в конце имени");
  TypeName(m, "con");
  EXPECT_FALSE(m.BtnEnh2.Enabled());
  EXPECT_EQ(m.NameProblem.Caption(), "Это имя занято системой Windows");
  TypeName(m, "x");
  EXPECT_TRUE(m.BtnEnh2.Enabled());
  EXPECT_EQ(m.NameProblem.Caption(), "");
}

TEST_F(Profiles, TypingReachesTheNameOnlyWhileTheEntryIsOpen) {
  WriteFaces(1);
  Form1& m = OpenFaceChoice();
  d.Type("zz");
  EXPECT_EQ(m.Text1.Text(), "");
  d.MouseDown(*m.Varker[0]);
  d.Click(m.BtnAccept);
  d.Type("zz");
  EXPECT_EQ(m.Text1.Text(), "Face01zz");
  d.Click(m.BtnEnh1);  // back to the face choice
  EXPECT_FALSE(m.Entering.Visible());
  EXPECT_TRUE(m.StartGame.Visible());
  d.Type("q");
  EXPECT_EQ(m.Text1.Text(), "Face01zz");
}

TEST_F(Profiles, FifteenFacesFitOnePageSixteenScrollByFive) {
  WriteFaces(15);
  Form1& m = OpenFaceChoice();
  EXPECT_FALSE(m.BtnUp2.Enabled());
  EXPECT_FALSE(m.BtnDn2.Enabled());
  EXPECT_EQ(m.NameVarker[14]->Caption(), "Face15");
  d.Click(m.BtnCancel);

  WriteFaces(16);
  d.Click(m.Btn1);
  ASSERT_TRUE(m.BtnDn2.Enabled());
  d.MouseDown(*m.Varker[12]);
  EXPECT_TRUE(m.Selector.Visible());
  EXPECT_EQ(m.Selector.Left(), m.Varker[12]->Left() - 128);
  d.Click(m.BtnDn2);
  EXPECT_FALSE(m.Selector.Visible());
  EXPECT_EQ(m.NameVarker[0]->Caption(), "Face06");
  EXPECT_EQ(m.NameVarker[10]->Caption(), "Face16");
  EXPECT_TRUE(m.Varker[10]->Visible());
  EXPECT_FALSE(m.Varker[11]->Visible());
  d.Click(m.BtnDn2);  // already at the last page
  EXPECT_EQ(m.NameVarker[0]->Caption(), "Face06");

  // The slot chosen before paging now holds its last name, hidden: that face is taken.
  d.Click(m.BtnAccept);
  EXPECT_EQ(Forms::Get<Stack>().Profile, "Face13");
  d.Click(m.BtnEnh1);
  d.Click(m.BtnCancel);
  d.Click(m.Btn1);  // opening again starts at the first page
  EXPECT_EQ(m.FaceListTop, 0);
  EXPECT_EQ(m.NameVarker[0]->Caption(), "Face01");
}

TEST_F(Profiles, NamesChooseTheirFacesAndDoNotHideTheFaceBelow) {
  WriteFaces(12);
  Form1& m = OpenFaceChoice();
  d.MouseDown(*m.NameVarker[3]);
  EXPECT_EQ(m.SelectedFace, 3);
  EXPECT_TRUE(m.BtnAccept.Enabled());

  // The top edge of face 6 lies under the lower edge of name 1.
  SDL_Rect face = m.Varker[6]->ScreenBox(), name = m.NameVarker[1]->ScreenBox();
  ASSERT_LT(face.y, name.y + name.h);
  d.MouseDownAt(face.x + face.w / 2, face.y + 1);
  EXPECT_EQ(m.SelectedFace, 6);
  EXPECT_EQ(m.Selector.Top(), m.Varker[6]->Top() - 128);

  // Under name 6 lies face 11; under name 7 the empty slot 12: nothing is chosen there.
  SDL_Rect empty = m.NameVarker[7]->ScreenBox();
  d.MouseDownAt(empty.x + empty.w / 2, empty.y + empty.h - 1);
  EXPECT_EQ(m.SelectedFace, 6);
}

TEST_F(Profiles, EnterConfirmsTheNameOnlyWhenOkCould) {
  WriteFaces(1);
  WriteProfileFile("Ann", "Face01.dat\r\n");
  Form1& m = ChooseFace(0);
  TypeName(m, "");
  d.Press(SDLK_RETURN);
  EXPECT_FALSE(m.Picture4.Visible());
  TypeName(m, "Ann");
  d.Press(SDLK_RETURN);
  EXPECT_TRUE(m.Picture4.Visible());
  d.Press(SDLK_RETURN);  // the question wants its own answer
  EXPECT_EQ(ReadBytes("Ann.pro"), "Face01.dat\r\n");
  d.Click(m.BtnCan);
  TypeName(m, "Eve");
  d.Press(SDLK_KP_ENTER);
  EXPECT_TRUE(Forms::IsLoaded<Form3>());
  EXPECT_EQ(Forms::Get<Stack>().Profile, "Eve");
}

TEST_F(Profiles, ListWithoutProfilesShowsTheNotice) {
  Form1& m = ReadyMenu();
  d.Click(m.Btn4);
  EXPECT_TRUE(m.LoadProfile.Visible());
  EXPECT_TRUE(m.Picture3.Visible());
  EXPECT_FALSE(m.BtnLD.Enabled());
  for (PictureBox* slot : m.Picture2) EXPECT_FALSE(slot->Visible());
  // The open panel leaves no part of the hint line showing beside it.
  SDL_Rect hint = m.Label11.ScreenBox(), panel = m.LoadProfile.ScreenBox();
  EXPECT_TRUE(!m.Label11.Visible() || !SDL_HasIntersection(&hint, &panel));
  d.Click(m.BtnEnh4);
  EXPECT_FALSE(m.Picture3.Visible());
  EXPECT_FALSE(m.LoadProfile.Visible());
  EXPECT_TRUE(m.Btn4.Enabled());
  EXPECT_TRUE(m.Label11.Visible());
}

TEST_F(Profiles, ThreeProfilesDoNotScrollFourDo) {
  WriteFaces(1);
  for (const char* name : {"A", "B", "C"}) WriteProfileFile(name, "Face01.dat\r\nФраг\r\n");
  Form1& m = ReadyMenu();
  d.Click(m.Btn4);
  EXPECT_FALSE(m.BtnUp.Enabled());
  EXPECT_FALSE(m.BtnDn.Enabled());
  EXPECT_TRUE(m.Picture2[2]->Visible());
  d.Click(m.BtnEnh4);

  WriteProfileFile("D", "Face01.dat\r\n");
  d.Click(m.Btn4);
  ASSERT_TRUE(m.BtnDn.Enabled());
  d.Click(*m.Label4[1]);
  EXPECT_EQ(m.SelectedSlot, 1);
  EXPECT_EQ(m.Picture2[1]->BackColor(), RGB(64, 0, 0));
  EXPECT_TRUE(m.BtnLD.Enabled());
  d.Click(m.BtnDn);
  EXPECT_EQ(m.SelectedSlot, -1);  // a new page clears the selection
  EXPECT_EQ(m.Picture2[1]->BackColor(), RGB(0, 0, 0));
  EXPECT_FALSE(m.BtnLD.Enabled());
  EXPECT_EQ(m.Label4[0]->Caption(), "B");
  EXPECT_EQ(m.Label4[2]->Caption(), "D");
  d.Click(m.BtnDn);
  EXPECT_EQ(m.Label4[0]->Caption(), "B");
  d.Click(m.BtnUp);
  EXPECT_EQ(m.Label4[0]->Caption(), "A");
}

// Line 3 is the quiz's and line 4 the memory game's, for the list and for loading alike;
// a line that holds no result of its episode shows as new.
TEST_F(Profiles, ListAndLoadAgreeOnWhatEachLineHolds) {
  WriteFaces(2);
  WriteProfileFile("Пётр", Cp1251("Face02.dat\r\n 120\r\n5 из 7\r\nуровень 3, 1:05\r\nпять\r\n"));
  WriteProfileFile("Ян", Cp1251("Face01.dat\r\n12x\r\nуровень 3\r\n5 из 7\r\nФраг\r\n"));
  Form1& m = ReadyMenu();
  d.Click(m.Btn4);
  EXPECT_EQ(m.Label4[0]->Caption(), "Пётр");
  EXPECT_EQ(m.Label3[0]->Caption(), "КАКОБОЙ 120");
  EXPECT_EQ(m.Label5[0]->Caption(), "ВАРК-ЭРУДИТ 5 из 7");
  EXPECT_EQ(m.Label6[0]->Caption(), "ВАРК-ПАМЯТЬ уровень 3, 1:05");
  EXPECT_EQ(m.Label7[0]->Caption(), "DIZUZUDEZERU Фраг");
  for (Label* line : {m.Label3[1], m.Label5[1], m.Label6[1]}) EXPECT_TRUE(line->Caption().ends_with(" Фраг"));
  d.Click(*m.Label7[0]);  // the lower result lines select the slot too
  EXPECT_EQ(m.SelectedSlot, 0);
  d.Click(m.BtnLD);
  const Stack& s = Forms::Get<Stack>();
  EXPECT_EQ(s.Profile, "Пётр");
  EXPECT_EQ(s.File, "Face02.dat");
  EXPECT_EQ(s.Caco, " 120");
  EXPECT_EQ(s.Erudit, "5 из 7");
  EXPECT_EQ(s.Memory, "уровень 3, 1:05");
  EXPECT_EQ(s.Camper, "пять");
  EXPECT_FALSE(s.Face.Empty());
  Form3& episodes = Forms::Get<Form3>();
  EXPECT_TRUE(episodes.Visible());
  EXPECT_EQ(episodes.Best1.Caption(), "РЕКОРД: 120");
  EXPECT_EQ(episodes.Best2.Caption(), "РЕКОРД: 5 из 7");
  EXPECT_EQ(episodes.Best3.Caption(), "РЕКОРД: уровень 3, 1:05");
}

TEST_F(Profiles, DamagedFilesAreListedAndLoadedWithoutChange) {
  const std::string shortFile = "Face01.dat\r\nФраг", junk = std::string("\x00\xff\x01\x98\r\r\n\x7f", 8),
                    noFace = "Gone.dat\r\n1\r\n2\r\n3\r\n4\r\n";
  WriteFaces(1);
  WriteProfileFile("Junk", junk);
  WriteProfileFile("NoFace", noFace);
  WriteProfileFile("Short", Cp1251(shortFile));
  Form1& m = ReadyMenu();
  d.Click(m.Btn4);
  for (int k = 0; k < 3; ++k) EXPECT_TRUE(m.Picture2[k]->Visible());
  EXPECT_EQ(m.Label4[1]->Caption(), "NoFace");
  EXPECT_TRUE(m.Image1[1]->GetPicture().Empty());
  EXPECT_EQ(m.Label7[2]->Caption(), "DIZUZUDEZERU Фраг");

  d.Click(*m.Label4[2]);
  d.Click(m.BtnLD);
  EXPECT_EQ(Forms::Get<Stack>().Profile, "Short");
  EXPECT_EQ(Forms::Get<Stack>().Memory, "");
  EXPECT_EQ(ReadBytes("Junk.pro"), junk);
  EXPECT_EQ(ReadBytes("NoFace.pro"), noFace);
  EXPECT_EQ(ReadBytes("Short.pro"), Cp1251(shortFile));
}

TEST_F(Profiles, UnreadableFileStillGetsItsSlot) {
  WriteProfileFile("Locked", "Face01.dat\r\n");
  std::filesystem::permissions(dir.Path() / "Locked.pro", std::filesystem::perms::none);
  PermissionsHonoured asAPlayer;
  testing::internal::CaptureStderr();
  Form1& m = ReadyMenu();
  d.Click(m.Btn4);
  EXPECT_TRUE(m.Picture2[0]->Visible());
  EXPECT_EQ(m.Label4[0]->Caption(), "Locked");
  d.Click(*m.Label4[0]);
  d.Click(m.BtnLD);
  EXPECT_EQ(Forms::Get<Stack>().Profile, "Locked");
  EXPECT_TRUE(Forms::Get<Form3>().Visible());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot read profile Locked.pro"), std::string::npos);
}

// A face whose file name cannot be line 1 of a profile (a line break, bytes that are no
// UTF-8, such as the overlong form of "/") is left out of the choice, said once a run.
TEST_F(Profiles, FacesWhoseNamesCannotBeStoredAreLeftOut) {
  WriteFaces(2);
  dir.WritePicture("VarKers/Bad\nName.dat", 16, 16, 1, 2, 3);
  dir.WritePicture(
      "VarKers/A\xC0\xAF"
      "B.dat",
      16, 16, 1, 2, 3);
  testing::internal::CaptureStderr();
  Form1& m = OpenFaceChoice();
  EXPECT_EQ(m.NameVarker[0]->Caption(), "Face01");
  EXPECT_EQ(m.NameVarker[1]->Caption(), "Face02");
  EXPECT_FALSE(m.Varker[2]->Visible());
  d.Click(m.BtnCancel);
  d.Click(m.Btn1);
  std::string said = testing::internal::GetCapturedStderr();
  size_t lines = 0;
  for (size_t at = said.find("is left out"); at != std::string::npos; at = said.find("is left out", at + 1)) ++lines;
  EXPECT_EQ(lines, 2u) << said;
}

// A large folder is listed a page at a time: the panel answers the click at once and
// says it is reading; the list then shows in alphabetical order.
TEST_F(Profiles, ManyProfilesAreListedWhileThePanelAlreadyAnswers) {
  WriteFaces(1);
  for (int i = 0; i < 1200; ++i) WriteProfileFile("p" + std::to_string(10000 - i), kNewFile);
  WriteProfileFile("Ёж", kNewFile);
  WriteProfileFile("ель", kNewFile);
  Form1& m = ReadyMenu();
  d.Click(m.Btn4);
  EXPECT_TRUE(m.LoadProfile.Visible());
  EXPECT_TRUE(m.ListNote.Visible());
  EXPECT_FALSE(m.Picture2[0]->Visible());
  d.Advance(3);
  EXPECT_FALSE(m.ListNote.Visible());
  EXPECT_EQ(m.Label4[0]->Caption(), "p10000");
  EXPECT_EQ(m.Label4[1]->Caption(), "p8801");
  EXPECT_TRUE(m.BtnDn.Enabled());
  std::vector<std::string> all = ListProfiles();
  ASSERT_EQ(all.size(), 1202u);
  // Ё stands with Е, and Cyrillic names come after every Latin one.
  EXPECT_EQ(all[1200], "Ёж.pro");
  EXPECT_EQ(all[1201], "ель.pro");
}

}  // namespace
}  // namespace vark
