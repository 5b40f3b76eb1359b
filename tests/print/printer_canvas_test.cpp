// What the reports rely on from a canvas: point sizes in device units, and the recording
// canvas keeping a job after the report has let go of it.

#include <gtest/gtest.h>

#include "platform/printers/RecordingPrinters.h"

namespace upfold {
namespace {

TEST(PrinterCanvas, PointHeightIsNegativeAndRoundedLikeWindows) {
  struct Case {
    int resolution;
    int points;
    int height;
  } cases[] = {{600, 12, -100}, {600, 9, -75}, {96, 12, -16},
               {96, 10, -13},   {96, 9, -12},  {300, 7, -29}};  // 13.33 and 29.17 round down
  for (const Case& c : cases) {
    RecordingCanvas canvas(1000, 1000, c.resolution);
    EXPECT_EQ(canvas.PointHeight(c.points), c.height) << c.points << "pt at " << c.resolution;
  }
}

TEST(RecordingPrinters, KeepsEveryJobAndPlantedFailures) {
  RecordingPrinters printers({"Front", "Back"}, "Back");
  EXPECT_EQ(printers.DefaultName(), "Back");
  EXPECT_THROW(printers.StartJob("Gone", {}), PrinterError);
  {
    auto job = printers.StartJob("Front", {Orientation::Landscape, "Rejects"});
    CanvasFont bold;
    bold.weight = 700;
    ASSERT_TRUE(job->SetFont(bold));
    job->TextOut(0, 0, "first");
    job->NewPage();
    job->TextOut(0, 0, "second");
    job->End();
    EXPECT_THROW(job->TextOut(0, 10, "late"), PrinterError);
  }
  ASSERT_EQ(printers.Jobs().size(), 1u);
  EXPECT_EQ(printers.Jobs()[0].options.orientation, Orientation::Landscape);
  const RecordingCanvas& canvas = *printers.LastCanvas();
  EXPECT_TRUE(canvas.Ended());
  EXPECT_EQ(canvas.Pages(), 2);
  EXPECT_EQ(canvas.PageTexts(2), std::vector<std::string>{"second"});
  EXPECT_EQ(canvas.Texts()[0].font.weight, 700);

  auto failing = printers.StartJob("Back", {});
  printers.LastCanvas()->FailOnText(2, "The printer is out of paper.");
  printers.LastCanvas()->refuseFonts = true;
  EXPECT_FALSE(failing->SetFont(CanvasFont{}));
  failing->TextOut(0, 0, "one");
  EXPECT_THROW(failing->TextOut(0, 10, "two"), PrinterError);

  printers.refuseJobs = "The printer is offline.";
  EXPECT_THROW(printers.StartJob("Front", {}), PrinterError);
}

}  // namespace
}  // namespace upfold
