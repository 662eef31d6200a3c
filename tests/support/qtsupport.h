// Helpers for the Qt tests.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace planox::test {

// Runs f on the next modal widget once it is up (inside its exec loop).
inline void onModal(std::function<void(QWidget*)> f) {
  auto* t = new QTimer;
  t->setInterval(5);
  QObject::connect(t, &QTimer::timeout, [t, f] {
    if (QWidget* w = QApplication::activeModalWidget()) {
      t->stop();
      t->deleteLater();
      f(w);
    }
  });
  t->start();
}

}  // namespace planox::test
