#pragma once

#include "controls/progress/ProgressHost.h"
#include "tests/support/ServicesFixture.h"

#include <QImage>
#include <QList>
#include <QWidget>

// The services, with what the main window would hear from the progress windows recorded; every
// test ends with no progress window shown and the main window's callback removed.
class ControlsTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        TProgressHost::SetCallback([this](bool busy) { HostCalls.append(busy); });
    }
    void TearDown() override {
        TProgressHost::SetCallback({});
        EXPECT_EQ(TProgressHost::ShownCount(), 0);
        TServicesFixture::TearDown();
    }
    // The widget as it paints itself.
    static QImage Grab(QWidget& widget) { return widget.grab().toImage(); }
    // A pixel's colour without its alpha.
    static QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

    QList<bool> HostCalls;
};
