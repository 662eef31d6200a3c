#include "display/qtform.h"

#include <QBoxLayout>
#include <QPushButton>
#include <QWidget>

#include <algorithm>

#include "base/session.h"
#include "base/textconv.h"

namespace planox {

QString QtText(const std::string& oem) { return QString::fromStdString(ToDisplayText(oem)); }

std::string OemText(const QString& text) { return FromDisplayText(text.toStdString()); }

QPushButton* RowButton(QWidget* dialog, QBoxLayout* row, const char* name, const char* caption,
                       bool isDefault) {
  auto* b = new QPushButton(QtText(caption), dialog);
  b->setObjectName(name);
  if (isDefault)
    b->setDefault(true);
  else
    b->setAutoDefault(false);
  row->addWidget(b);
  return b;
}

void PlaceDialog(QWidget* dialog, QWidget* mainWindow, bool centre) {
  QFont font = mainWindow ? mainWindow->font() : dialog->font();
  const int fontScale = Settings.FontScale > 0 ? Settings.FontScale : 100;
  if (font.pointSizeF() > 0)
    font.setPointSizeF(font.pointSizeF() * fontScale / 100.0);
  else if (font.pixelSize() > 0)
    font.setPixelSize(std::max(1, font.pixelSize() * fontScale / 100));
  dialog->setFont(font);
  dialog->adjustSize();

  const int scale = Settings.InputWindowScale > 0 ? Settings.InputWindowScale : 100;
  QSize size = dialog->size();
  size = QSize(size.width() * scale / 100, size.height() * scale / 100);
  dialog->resize(size);
  if (!centre || !mainWindow) return;
  const QRect main = mainWindow->frameGeometry();
  const int dx = std::max(0, (main.width() - size.width()) / 2);
  const int dy = std::max(0, (main.height() - size.height()) / 2);
  dialog->move(main.x() + dx, main.y() + dy + 20);
}

}  // namespace planox
