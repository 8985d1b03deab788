#include "QtPrinters.h"

#include "TProgForm.h"
#include "TProgressControl.h"

#include <QProgressBar>
#include <gtest/gtest.h>

namespace {

TEST(ProgressControl, PassesItsPropertiesOnAndStartsEveryShowingEmpty)
{
    TProgressControl progress(nullptr);
    QProgressBar *bar = progress.Form()->ProgressBar1;
    EXPECT_EQ(progress.Caption(), QStringLiteral("Progress..."));
    EXPECT_EQ(bar->maximum(), 100);

    progress.SetMax(4);
    progress.SetCaption(QStringLiteral("Loading a.pof..."));
    EXPECT_EQ(progress.Form()->windowTitle(), QStringLiteral("Loading a.pof..."));
    progress.Show();
    for (int i = 0; i < 6; ++i)
        progress.StepIt();
    EXPECT_EQ(progress.Progress(), 4) << "the bar stops at its maximum";
    progress.Hide();
    EXPECT_FALSE(progress.Form()->isVisible());

    progress.Show();
    EXPECT_EQ(progress.Progress(), 0);
    progress.SetStep(3);
    progress.StepIt();
    EXPECT_EQ(progress.Progress(), 3);
    EXPECT_EQ(progress.Form()->size(), QSize(267, 33));
}

} // namespace
