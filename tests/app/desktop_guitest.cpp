// The window as a desktop user handles it: the wheel, the middle button,
// files dropped from a file manager, the status line, and the progress of a
// long read with Escape to cancel.
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QProgressDialog>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "app/dialogs.h"
#include "app/planox1.h"
#include "base/session.h"
#include "support/qtsupport.h"
#include "support/testsupport.h"

namespace planox {
namespace {

class Desktop : public test::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    Settings.ScreenWidth = 640;
    Settings.ScreenHeight = 480;
    hh = std::make_unique<Thh>(std::vector<std::string>{});
    hh->FormCreate();
    hh->show();
    QApplication::processEvents();
  }
  void TearDown() override {
    SetUi(&ui);
    hh.reset();
    InTempDir::TearDown();
  }
  // A drawing of n vertical lines 0..n-1 wide and 100 high, without header
  // extents, so every read goes through the whole file.
  std::string Drawing(const std::string& name, int n) {
    std::string body = "0\r\nSECTION\r\n2\r\nENTITIES\r\n";
    for (int i = 0; i < n; ++i)
      body += "0\r\nLINE\r\n8\r\n0\r\n10\r\n" + std::to_string(i) + "\r\n20\r\n0\r\n11\r\n" + std::to_string(i) +
              "\r\n21\r\n100\r\n";
    body += "0\r\nENDSEC\r\n0\r\nEOF\r\n";
    test::WriteFile(dir.file(name), body);
    return dir.file(name);
  }
  void Wheel(QPoint at, int delta, Qt::KeyboardModifiers modifiers = {}) {
    QWheelEvent e(at, hh->view()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(hh->view(), &e);
  }
  void Middle(QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    QMouseEvent e(type, at, hh->view()->mapToGlobal(at), Qt::MiddleButton, held, Qt::NoModifier);
    QApplication::sendEvent(hh->view(), &e);
  }
  std::string status() const { return hh->viewStatus()->text().toStdString(); }

  std::unique_ptr<Thh> hh;
};

TEST_F(Desktop, WheelZoomsAboutTheCursor) {
  hh->OpenDrawing(Drawing("W.dxf", 50));
  ASSERT_FALSE(Session.AbortFlag);
  GraphWindow& g = hh->graph();
  const QPoint at(150, 120);
  long double x, y, nx, ny;
  g.WorldAt(at.x(), at.y(), x, y);
  Wheel(at, 120);
  g.WorldAt(at.x(), at.y(), nx, ny);
  EXPECT_NEAR(static_cast<double>(nx), static_cast<double>(x), 1e-9);
  EXPECT_NEAR(static_cast<double>(ny), static_cast<double>(y), 1e-9);
  EXPECT_NEAR(static_cast<double>(g.ZoomFactor()), 1.25, 1e-9);
  EXPECT_NE(status().find("Zoom 1.25"), std::string::npos) << status();
  Wheel(at, 240, Qt::ControlModifier);  // two fine notches
  EXPECT_NEAR(static_cast<double>(g.ZoomFactor()), 1.25 * 1.05 * 1.05, 1e-9);
  const QPoint out(400, 300);
  g.WorldAt(out.x(), out.y(), x, y);
  Wheel(out, -120);
  EXPECT_NEAR(static_cast<double>(g.ZoomFactor()), 1.05 * 1.05, 1e-9);
  // The repaint keeps the view the wheel made.
  QApplication::processEvents();
  hh->FormPaint();
  g.WorldAt(out.x(), out.y(), nx, ny);
  EXPECT_NEAR(static_cast<double>(nx), static_cast<double>(x), 1e-9);
  EXPECT_NEAR(static_cast<double>(ny), static_cast<double>(y), 1e-9);
}

TEST_F(Desktop, MiddleDragPansByTheDraggedDistanceAndShowsWhereTheCursorIs) {
  hh->OpenDrawing(Drawing("P.dxf", 50));
  GraphWindow& g = hh->graph();
  Settings.DecimalPlaces = 2;
  const int px = g.X(20), py = g.Y(50);
  Middle(QEvent::MouseButtonPress, QPoint(100, 100), Qt::MiddleButton);
  Middle(QEvent::MouseMove, QPoint(130, 90), Qt::MiddleButton);
  Middle(QEvent::MouseMove, QPoint(160, 80), Qt::MiddleButton);
  Middle(QEvent::MouseButtonRelease, QPoint(160, 80), Qt::NoButton);
  EXPECT_NEAR(g.X(20), px + 60, 1);
  EXPECT_NEAR(g.Y(50), py - 20, 1);
  EXPECT_FALSE(g.dragging());  // no rubber band from the middle button
  // Moving without a button only updates the status line.
  const Rect32 z = g.ZoomRect();
  QMouseEvent move(QEvent::MouseMove, QPoint(g.X(20), g.Y(50)), QPoint(), Qt::NoButton, Qt::NoButton, {});
  QApplication::sendEvent(hh->view(), &move);
  EXPECT_EQ(g.ZoomRect(), z);
  long double x, y;
  g.WorldAt(g.X(20), g.Y(50), x, y);
  EXPECT_LT(std::fabs(static_cast<double>(x) - 20), 1 / static_cast<double>(g.scaleX()));
  EXPECT_EQ(status(), QString("X %1   Y %2   Zoom 1").arg(static_cast<double>(x), 0, 'f', 2)
                          .arg(static_cast<double>(y), 0, 'f', 2).toStdString());
}

TEST_F(Desktop, ADroppedDrawingOpensAsFileOpenWould) {
  const std::string name = Drawing("DROP.dxf", 10);
  test::WriteFile(dir.file("notes.txt"), "x");
  auto drop = [&](const std::string& file, bool expectAccepted) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(hh->view(), &enter);
    EXPECT_EQ(enter.isAccepted(), expectAccepted) << file;
    if (!expectAccepted) return;
    QDropEvent dropEvent(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(hh->view(), &dropEvent);
    EXPECT_TRUE(dropEvent.isAccepted());
    QApplication::processEvents();
  };
  drop(dir.file("notes.txt"), false);
  EXPECT_EQ(Session.DrawingName, "");
  drop(name, true);
  EXPECT_EQ(Session.DrawingName, "DROP");
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(hh->quorGraf().list().size() > 10, true);
  EXPECT_NE(hh->windowTitle().toStdString().find("DROP"), std::string::npos);
  EXPECT_NE(Session.RecentFiles[0].find("DROP"), std::string::npos);
  // A plot file takes the road File > Open gives it.
  test::WriteFile(dir.file("out.plt"), "IN;SP1;PU0,0;PD4000,0,4000,3000;PU;\n");
  const size_t drawn = hh->quorGraf().list().size();
  drop(dir.file("out.plt"), true);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(Session.DrawingName, "DROP");  // the drawing stays the current one
  EXPECT_NE(hh->quorGraf().list().size(), drawn);
  EXPECT_NE(Session.RecentFiles[0].find("out.plt"), std::string::npos) << Session.RecentFiles[0];
}

TEST_F(Desktop, ALongReadShowsProgressAndEscapeCancelsIt) {
  QtUi qt(hh.get());
  SetUi(&qt);
  qt.progressDelay = std::chrono::milliseconds(0);
  const std::string big = Drawing("BIG.dxf", 150000);

  std::vector<int> values;
  test::onModal([&](QWidget* w) {
    auto* dialog = qobject_cast<QProgressDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->objectName(), "TProgress");
    values.push_back(dialog->value());
    QObject::connect(dialog->findChild<QProgressBar*>(), &QProgressBar::valueChanged,
                     [&](int v) { values.push_back(v); });
  });
  hh->OpenDrawing(big);
  EXPECT_FALSE(Session.AbortFlag);
  ASSERT_GT(values.size(), 2u);
  EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
  EXPECT_EQ(values.back(), 100);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

  // Escape on the dialog: the read ends with AbortFlag, the window stays usable.
  test::onModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
  hh->OpenDrawing(big);
  EXPECT_TRUE(Session.AbortFlag);
  QApplication::processEvents();
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  const Rect32 before = hh->graph().ZoomRect();
  QTest::keyClick(hh->view(), Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_NE(hh->graph().ZoomRect(), before);
  hh->OpenDrawing(Drawing("SMALL.dxf", 5));
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(Session.DrawingName, "SMALL");
}

// Escape on the progress of the drawing named on the command line: the
// program starts with an empty window instead of ending.
TEST_F(Desktop, EscapeOnTheFirstReadStartsWithAnEmptyWindow) {
  const std::string big = Drawing("BIG.dxf", 400000);
  hh.reset();
  auto started = std::make_unique<Thh>(std::vector<std::string>{big});
  QtUi qt(started.get());
  SetUi(&qt);
  qt.progressDelay = std::chrono::milliseconds(0);
  test::onModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
  EXPECT_NO_THROW(started->FormCreate());
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_TRUE(Session.DrawingName.empty());
  started->show();
  QApplication::processEvents();
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  // The window works: a drawing opens from it.
  started->OpenDrawing(Drawing("SMALL.dxf", 5));
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(Session.DrawingName, "SMALL");
  SetUi(&ui);
}

}  // namespace
}  // namespace planox
