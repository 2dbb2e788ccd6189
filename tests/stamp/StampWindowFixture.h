#pragma once

#include "FakeStampKey.h"
#include "stamp/window/DocumentView.h"
#include "stamp/window/StampWindow.h"
#include "support/ScriptedInteraction.h"
#include "support/TempDirectory.h"

#include <QPointF>

#include <gtest/gtest.h>

#include <memory>

namespace talvo::testing {

// Lets a seal go over the view at a point of its viewport, as a drag from the panel would.
void dropSeal(stamp::DocumentView& view, int sealNumber, const QPoint& viewportPoint);
// The viewport point that shows a page's millimetres.
QPoint viewportPointOf(stamp::DocumentView& view, int page, const QPointF& mm);

// Opens and waits for the document; false when it was refused or never came.
bool openDocument(stamp::StampWindow& window, const QString& path);
bool waitForSeals(stamp::StampWindow& window, int count);

// A window over a fake key with one seal in force (101) and one expired (102).
class StampWindowFixture : public ::testing::Test {
protected:
    StampWindowFixture();
    ~StampWindowFixture() override;

    bool open(const QString& path) { return openDocument(*m_window, path); }
    bool waitForSeals(int count) { return testing::waitForSeals(*m_window, count); }
    void drop(int sealNumber, const QPoint& viewportPoint)
    {
        dropSeal(m_window->view(), sealNumber, viewportPoint);
    }
    QPoint viewportPointOf(int page, const QPointF& mm)
    {
        return testing::viewportPointOf(m_window->view(), page, mm);
    }

    TempDirectory m_files;
    FakeStampKey m_key;
    ScriptedInteraction m_interaction;
    std::unique_ptr<stamp::StampWindow> m_window;
};

} // namespace talvo::testing
