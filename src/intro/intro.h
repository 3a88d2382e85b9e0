// The intro: a landscape fly-over behind a credits roll, with music, until the player
// clicks the picture and goes back to the main menu.
#pragma once

#include <array>
#include <string>

#include "intro/voxel.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/n3dtext.h"

namespace vark {

class INTRO : public Form {
 public:
  static constexpr int kCreditCount = 26;
  static constexpr int kPassesPerCredit = 150;
  // The pace everything was designed at: one step of 1/30 s. A pass may be longer or
  // shorter; each step is scaled to the time the pass stands for.
  static constexpr double kStepMs = 1000.0 / 30;
  static constexpr int kScrollStepTwips = 64;  // per step: 128 pixels a second
  // The line changes colour four times a second: faster would flicker.
  static constexpr double kColourStepMs = 250;
  // The drift of one pass is taken over this time: about 300 map units a second.
  static constexpr double kDriftMs = 1000.0 / 15;
  // A pass stands for at most this long, so a stall does not make the camera jump.
  static constexpr double kLongestPassMs = 100;

  INTRO();

  void Form_Load() override { Initial(); }
  void Form_KeyDown(int keyCode, int shift) override;
  Activity CurrentActivity() const override { return Activity::Watched; }

  void Initial();
  // The frame loop: the first and only tick of Timer1.
  void Timer1_Timer();
  // One pass of the frame loop, standing for `elapsedMs` of the show: music, colours,
  // scrolling line, credits, camera, frame.
  void FramePass(double elapsedMs = kStepMs);
  void Image1_Click();
  void Pic_MouseMove(double x, double y);
  void MPP();
  static void MPl();

  // The frame buffer (offscreen box) and the two maps it is rendered from.
  PictureBox& Pic = AddPictureBox("Pic", {720, 9240, 10020, 6765});
  PictureBox& Pichgt = AddPictureBox("Pichgt", {0, 0, 0, 0});            // the height map
  PictureBox& Pictxt = AddPictureBox("Pictxt", {0, 0, 0, 0});            // the colour map
  Image& Image1 = AddImage("Image1", {0, 0, 9615, 6255});                // the landscape shown; a click leaves
  N3dText& TXT = Add<N3dText>("TXT", {0, 0, 9615, 1335});                // the credit's title in 3-D
  PictureBox& Picture1 = AddPictureBox("Picture1", {0, 0, 9855, 7095});  // black cover while loading
  PictureBox& Picture2 = AddPictureBox("Picture2", {0, 6300, 0, 375});   // carries the scrolling line
  Label& Label2 = AddLabel("Label2", {0, 0, 0, 375}, &Picture2);
  PictureBox& Picture3 = AddPictureBox("Picture3", {0, 1320, 9615, 495});  // the credit's second line
  Label& Label1 = AddLabel("Label1", {0, 0, 9615, 495}, &Picture3);
  Timer& Timer1 = AddTimer("Timer1", 0, [this] { Timer1_Timer(); });
  MediaPlayer& MP = AddMedia("MP");

  std::array<std::string, kCreditCount> Titles;
  std::array<std::string, kCreditCount> Subtitles;
  int CreditIndex = 0;
  int CreditPhase = 0;
  int ColourPhase = 0;
  Camera Cam;
  int16_t MouseX = 0;
  int16_t MouseY = 0;
  // 0: render every pass; 1: render this pass, then stop; 2: stopped.
  int NoVoxelState = 0;

  // All three pictures are usable, so the landscape is rendered (else it stays black).
  bool VoxelReady() const { return voxelReady_; }

 private:
  void DesignLooks();
  void SetUpScrollLine();
  void SetUpTitle();
  void LoadPictures();
  void ShowNextCredit();
  void AdvanceCredits(double elapsedMs);
  void CycleColour(double elapsedMs);
  void ScrollLine(double elapsedMs);
  void RenderFrame();
  void ReturnToMenu();

  bool voxelReady_ = false;
  double creditMs_ = 0;    // how long the current credit has stood
  double colourMs_ = 0;    // how long the current colour has stood
  double scrollMs_ = 0;    // how long the line has scrolled since it last entered
  int scrolledTwips_ = 0;  // how far it has moved since then
};

}  // namespace vark
