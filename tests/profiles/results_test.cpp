// Results kept in the profile file, shown on the episode screen and in the profile list,
// and gathered into the table of records.
#include <cstdlib>
#include <filesystem>

#include "episodes/form3.h"
#include "memory/tele.h"
#include "platform/base/utf8.h"
#include "platform/files/codepage.h"
#include "profiles/menu_fixture.h"
#include "profiles/records.h"
#include "profiles/results.h"
#include "quiz/quest.h"
#include "quiz/quiz_test_files.h"
#include "shooter/caco.h"

namespace vark {
namespace {

std::string Cp1251(const std::string& utf8) { return *Utf8ToCp1251(utf8); }

// Saves the screen into VARK_SHOTS when that is set, to be looked at.
void Shot(Driver& d, const std::string& name) {
  if (const char* shots = std::getenv("VARK_SHOTS")) {
    EXPECT_TRUE(d.SaveScreen(std::string(shots) + "/" + name));
  }
}

TEST(ResultLines, EachEpisodeReadsItsOwnFormAndNothingElse) {
  EXPECT_EQ(ParseResult(Episode::kShooter, "1800"), (Result{1800, 0}));
  EXPECT_EQ(ParseResult(Episode::kShooter, " 1800"), (Result{1800, 0}));  // as play shows it
  EXPECT_EQ(ParseResult(Episode::kQuiz, "7 из 7"), (Result{7, 0}));
  EXPECT_EQ(ParseResult(Episode::kMemory, "уровень 12, 14:05"), (Result{12, 845}));
  EXPECT_EQ(ParseResult(Episode::kMemory, "уровень 1"), (Result{1, 0}));
  for (Episode e : kRecordedEpisodes) {
    for (const char* nonsense :
         {"Фраг", "", " ", "-5", "+5", "12x", "1 800", "99999999999", "8 из 7", "7 из 8", "из 7", "уровень 0",
          "уровень 3, 1:5", "уровень 3, 1:60", "уровень 3,1:05", "уровень x", "Уровень 3"}) {
      if (e == Episode::kShooter && std::string(nonsense) == "+5") continue;
      EXPECT_FALSE(ParseResult(e, nonsense).has_value()) << nonsense;
      EXPECT_EQ(ShownResult(e, nonsense), "Фраг") << nonsense;
    }
  }
  for (Episode e : kRecordedEpisodes) {
    for (Result r : {Result{1, 0}, Result{7, 0}, Result{3, 65}}) {
      Result kept = e == Episode::kMemory ? r : Result{r.value, 0};  // only the memory game keeps a time
      EXPECT_EQ(ParseResult(e, ResultText(e, r)), kept);
    }
  }
  EXPECT_EQ(ResultText(Episode::kMemory, {3, 65}), "уровень 3, 1:05");
  // A higher level wins; the same level is better reached sooner; any result that achieved
  // something beats none, and one that achieved nothing is no result at all.
  EXPECT_TRUE(IsBetter(Episode::kMemory, {3, 500}, Result{2, 10}));
  EXPECT_TRUE(IsBetter(Episode::kMemory, {3, 60}, Result{3, 61}));
  EXPECT_FALSE(IsBetter(Episode::kShooter, {300, 0}, Result{300, 0}));
  EXPECT_TRUE(IsBetter(Episode::kShooter, {10, 0}, std::nullopt));
  EXPECT_TRUE(IsBetter(Episode::kQuiz, {1, 0}, std::nullopt));
  EXPECT_TRUE(IsBetter(Episode::kMemory, {2, 40}, std::nullopt));
  EXPECT_FALSE(IsBetter(Episode::kShooter, {0, 0}, std::nullopt));
  EXPECT_FALSE(IsBetter(Episode::kQuiz, {0, 0}, std::nullopt));
  EXPECT_FALSE(IsBetter(Episode::kMemory, {1, 0}, std::nullopt));
}

class Results : public MenuTest {
 protected:
  const std::string kOldProfile = Cp1251("Face01.dat\r\nФраг\r\nФраг\r\nФраг\r\nФраг\r\n");

  // Loads the profile "Ева" from the list: the episode screen opens.
  Form3& LoadEva(const std::string& bytes) {
    WriteFaces(1);
    WriteProfileFile("Ева", bytes);
    Form1& m = ReadyMenu();
    d.Click(m.Btn4);
    d.Click(*m.Label4[0]);
    d.Click(m.BtnLD);
    return Forms::Get<Form3>();
  }
  // A shooter game from the episode screen, left with `score` through the exit question.
  Form3& PlayShooter(int score) {
    d.Click(Forms::Get<Form3>().BtnEnh1);
    d.Advance(20);  // the first tick of play closes the episode screen
    Caco& c = Forms::Get<Caco>();
    c.Score = score;
    d.Press(SDLK_ESCAPE);
    d.Click(c.BtnEnh6);
    d.Advance(5);
    return Forms::Get<Form3>();
  }
};

TEST_F(Results, BestShooterScoreIsWrittenAndAWorseOneIsNot) {
  Form3& before = LoadEva(kOldProfile);
  EXPECT_EQ(ReadBytes("Ева.pro"), kOldProfile);  // loading an older profile changes nothing
  EXPECT_EQ(before.Best1.Caption(), "РЕКОРД: Фраг");
  EXPECT_FALSE(before.LastScore.Visible());
  Form3& after = PlayShooter(1800);
  // The same code page and line ends; only line 2 changed.
  EXPECT_EQ(ReadBytes("Ева.pro"), Cp1251("Face01.dat\r\n1800\r\nФраг\r\nФраг\r\nФраг\r\n"));
  EXPECT_EQ(after.Best1.Caption(), "РЕКОРД: 1800");
  EXPECT_TRUE(after.LastScore.Visible());
  EXPECT_EQ(after.LastScore.Caption(), "ПОСЛЕДНИЙ СЧЁТ: 1800");
  EXPECT_EQ(after.News.Caption(), "НОВЫЙ РЕКОРД!");
  Shot(d, "episodes_new_best.png");

  Form3& worse = PlayShooter(900);
  EXPECT_EQ(ReadBytes("Ева.pro"), Cp1251("Face01.dat\r\n1800\r\nФраг\r\nФраг\r\nФраг\r\n"));
  EXPECT_EQ(worse.Best1.Caption(), "РЕКОРД: 1800");
  EXPECT_EQ(worse.LastScore.Caption(), "ПОСЛЕДНИЙ СЧЁТ: 900");
  EXPECT_EQ(worse.News.Caption(), "");
}

TEST_F(Results, CorruptedResultShowsAsNewAndIsReplacedByTheFirstResult) {
  Form3& f = LoadEva(Cp1251("Face01.dat\r\n18oo\r\nмного\r\nуровень -1\r\nФраг\r\n"));
  EXPECT_EQ(f.Best1.Caption(), "РЕКОРД: Фраг");
  EXPECT_EQ(f.Best2.Caption(), "РЕКОРД: Фраг");
  EXPECT_EQ(f.Best3.Caption(), "РЕКОРД: Фраг");
  // A round without a hit is no result: the line stays, nothing is cheered.
  const std::string corrupted = ReadBytes("Ева.pro");
  EXPECT_EQ(PlayShooter(0).News.Caption(), "");
  EXPECT_EQ(ReadBytes("Ева.pro"), corrupted);
  PlayShooter(20);
  EXPECT_EQ(ReadBytes("Ева.pro"), Cp1251("Face01.dat\r\n20\r\nмного\r\nуровень -1\r\nФраг\r\n"));
}

TEST_F(Results, FailedSaveSaysSoAndTheBestIsSavedWithTheNextResult) {
  LoadEva(kOldProfile);
  {
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    PermissionsHonoured asAPlayer;
    Form3& f = PlayShooter(700);
    EXPECT_EQ(f.News.Caption(), "Рекорд не сохранён: нет прав");
    EXPECT_EQ(f.Best1.Caption(), "РЕКОРД: 700");
    EXPECT_EQ(ReadBytes("Ева.pro"), kOldProfile);
  }
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all);
  Form3& f = PlayShooter(10);
  EXPECT_EQ(f.News.Caption(), "");
  EXPECT_EQ(ReadBytes("Ева.pro"), Cp1251("Face01.dat\r\n700\r\nФраг\r\nФраг\r\nФраг\r\n"));
}

TEST_F(Results, DamagedProfileIsNeverRewritten) {
  const std::string damaged = Cp1251("Face01.dat\r\n") + std::string(5000, 'x') + "\r\n";
  LoadEva(damaged);
  PlayShooter(500);
  EXPECT_EQ(ReadBytes("Ева.pro"), damaged);
}

// The memory game keeps the highest level and the playing time it took to reach it: the
// exit question and a pause do not count.
TEST_F(Results, MemoryKeepsTheLevelReachedAndItsPlayingTime) {
  LoadEva(kOldProfile);
  d.Click(Forms::Get<Form3>().BtnEnh3);
  d.Advance(1);
  Tele& t = Forms::Get<Tele>();
  d.Advance(3500);
  d.Press(SDLK_p);
  ASSERT_TRUE(t.Paused());
  d.Advance(60000);
  ASSERT_TRUE(Forms::IsLoaded<Tele>()) << "the time bar waits while paused";
  d.Press(SDLK_p);
  d.Press(SDLK_ESCAPE);
  d.Advance(20000);
  d.Click(t.BtnEnh7);
  d.Advance(30000);
  ASSERT_TRUE(Forms::IsLoaded<Tele>());
  t.ChangeLevel();  // as if the last pair was found now
  d.Advance(2000);
  d.Press(SDLK_ESCAPE);
  d.Click(t.BtnEnh6);
  EXPECT_EQ(ReadBytes("Ева.pro"), Cp1251("Face01.dat\r\nФраг\r\nФраг\r\nуровень 2, 0:33\r\nФраг\r\n"));
  EXPECT_EQ(Forms::Get<Form3>().Best3.Caption(), "РЕКОРД: уровень 2, 0:33");
}

TEST_F(Results, QuizKeepsTheMostRightAnswersOfOneGame) {
  dir.Write("Quest.dat", quiztest::FileBytes(quiztest::WithEnd(quiztest::Records(10))));
  LoadEva(kOldProfile);
  d.Click(Forms::Get<Form3>().BtnEnh2);
  Quest& q = Forms::Get<Quest>();
  d.Advance(6000);  // the first place's marker blinks, then its question shows
  ASSERT_TRUE(q.Picture1.Visible());
  int right = q.CurrentQuestion % 4;
  d.Click(*q.Label3[right]);
  d.Click(*q.Label3[(right + 1) % 4]);  // judged once: a second click changes nothing
  d.Advance(8000);
  EXPECT_FALSE(q.Picture3.Visible()) << "the second click took the right answer back";
  ASSERT_TRUE(q.Picture1.Visible());
  d.Click(*q.Label3[(q.CurrentQuestion + 1) % 4]);
  d.Advance(4000);
  d.Click(q.BtnEnh2);
  EXPECT_EQ(ReadBytes("Ева.pro"), Cp1251("Face01.dat\r\nФраг\r\n1 из 7\r\nФраг\r\nФраг\r\n"));
}

TEST_F(Results, NewProfileStartsWithoutTheResultsOfThePlayerBefore) {
  LoadEva(Cp1251("Face01.dat\r\n1800\r\n7 из 7\r\nуровень 4, 3:00\r\nФраг\r\n"));
  d.Click(Forms::Get<Form3>().BtnEnh5);
  d.Advance(120);
  Form1& m = ChooseFace(0);
  TypeName(m, "Новичок");
  d.Click(m.BtnEnh2);
  Form3& f = Forms::Get<Form3>();
  EXPECT_EQ(f.Best1.Caption(), "РЕКОРД: Фраг");
  PlayShooter(5);
  EXPECT_EQ(ReadBytes("Новичок.pro"), Cp1251("Face01.dat\r\n5\r\nФраг\r\nФраг\r\nФраг\r\n"));
}

class RecordsTable : public MenuTest {
 protected:
  void Profile(const std::string& name, int face, const std::string& shooter, const std::string& quiz,
               const std::string& memory) {
    WriteProfileFile(name,
                     Cp1251(FaceName(face) + ".dat\r\n" + shooter + "\r\n" + quiz + "\r\n" + memory + "\r\nФраг\r\n"));
  }
  std::vector<std::string> Column(const Records& r, int c) {
    std::vector<std::string> shown;
    for (int row = 0; row < Records::kRows; ++row) {
      int i = c * Records::kRows + row;
      if (r.Name[i]->Visible()) shown.push_back(r.Name[i]->Caption() + " " + r.Value[i]->Caption());
    }
    return shown;
  }
};

TEST_F(RecordsTable, BestThreeOfEachEpisodeInOrderFromTheProfilePanel) {
  WriteFaces(5);
  dir.WritePicture("Texture1.jpg", 64, 48, 30, 60, 30);
  Profile("Аня", 1, "1200", "7 из 7", "уровень 5, 4:10");
  Profile("Борис", 2, "3400", "3 из 7", "уровень 5, 3:59");
  Profile("Вера", 3, "1200", "Фраг", "уровень 2, 0:40");
  Profile("Глеб", 4, "сто", "5 из 7", "Фраг");
  Profile("Дина", 5, "90", "5 из 7", "уровень 6, 9:00");
  Form1& m = ReadyMenu();
  d.Click(m.Btn4);
  EXPECT_EQ(m.BtnRec.Top(), 4380);  // below the panel's buttons, which stay where they were
  EXPECT_EQ(m.BtnLD.Top(), 3720);
  d.Click(m.BtnRec);
  Records& r = Forms::Get<Records>();
  EXPECT_EQ(Forms::Active(), &r);
  d.Advance(20);
  EXPECT_FALSE(r.Reading.Visible());
  // Equal results keep the order of the list (alphabetical).
  EXPECT_EQ(Column(r, 0), (std::vector<std::string>{"Борис 3400", "Аня 1200", "Вера 1200"}));
  EXPECT_EQ(Column(r, 1), (std::vector<std::string>{"Аня 7 из 7", "Глеб 5 из 7", "Дина 5 из 7"}));
  EXPECT_EQ(Column(r, 2),
            (std::vector<std::string>{"Дина уровень 6, 9:00", "Борис уровень 5, 3:59", "Аня уровень 5, 4:10"}));
  EXPECT_EQ(r.Face[0]->GetPicture(), LoadFace("Face02.dat"));
  Shot(d, "records.png");
  // Escape (a controller's B) goes back to the list.
  d.Press(SDLK_ESCAPE);
  d.Advance(1);
  EXPECT_FALSE(Forms::IsLoaded<Records>());
  EXPECT_EQ(Forms::Active(), &m);
  EXPECT_TRUE(m.LoadProfile.Visible());
}

TEST_F(RecordsTable, ManyProfilesAreReadAPageAtATime) {
  WriteFaces(1);
  for (int i = 0; i < 250; ++i) Profile("P" + std::to_string(1000 + i), 1, std::to_string(i), "Фраг", "Фраг");
  Form1& m = ReadyMenu();
  d.Click(m.Btn4);
  d.Click(m.BtnRec);
  Records& r = Forms::Get<Records>();
  EXPECT_TRUE(r.Reading.Visible());
  EXPECT_FALSE(r.Name[0]->Visible());
  d.Advance(1);
  EXPECT_TRUE(r.Reading.Visible());  // one page read, more to come
  d.Advance(5);
  EXPECT_FALSE(r.Reading.Visible());
  EXPECT_EQ(Column(r, 0), (std::vector<std::string>{"P1249 249", "P1248 248", "P1247 247"}));
  EXPECT_TRUE(Column(r, 1).empty());
  EXPECT_TRUE(r.Empty[1]->Visible());
}

}  // namespace
}  // namespace vark
