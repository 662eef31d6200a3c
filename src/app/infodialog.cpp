#include "app/infodialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <sys/stat.h>

#include <ctime>

#include "base/session.h"
#include "base/textconv.h"
#include "display/quorgraf.h"
#include "drawing/dxfin.h"
#include "drawing/dxfinvar.h"
#include "display/qtform.h"

namespace planox {

namespace {


std::string two(int n) { return IntToTextZero(n, 2); }

std::string corner(long double x, long double y) {
  return RealToText(static_cast<double>(x)) + " / " + RealToText(static_cast<double>(y));
}

}  // namespace

DrawingInfo CollectDrawingInfo(const WorldWindow& limits) {
  DrawingInfo info;
  info.fileName =
      RemoveBlanks(WithSeparator(Session.InPath) + Session.DrawingName + "." + Session.FileExtension);
  // The facts come from the file the reader opens (its name matched
  // without regard to case), so that a name with blanks is found as well.
  struct stat st {};
  const std::string file = Session.DrawingName.empty() ? std::string() : DrawingFileName();
  const bool found = !file.empty() && ::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  const long long size = found ? static_cast<long long>(st.st_size) : 0;
  info.fileSize = IntToText(size) + " Bytes";
  std::tm tm {};
  const std::time_t t = found ? st.st_mtime : 0;
  if (found && localtime_r(&t, &tm)) {
    info.fileDate = two(tm.tm_mday) + "." + two(tm.tm_mon + 1) + "." + IntToTextZero(tm.tm_year + 1900, 4) +
                    " - " + two(tm.tm_hour) + ":" + two(tm.tm_min) + ":" + two(tm.tm_sec);
  } else {
    info.fileDate = "??.??.???? - ??:??:??";
  }
  if (size == 0) {
    info.xyMin = info.xyMax = " 0 / 0";
    info.elements = info.texts = "0";
  } else {
    info.xyMin = corner(limits.xmin, limits.ymin);
    info.xyMax = corner(limits.xmax, limits.ymax);
    info.elements = IntToText(ElementCount);
    info.texts = IntToText(TextCount);
  }
  info.blocks = IntToText(BlockCount);
  return info;
}

TForm_hpvinfo::TForm_hpvinfo(QWidget* parent, const WorldWindow& limits) : QDialog(parent) {
  setObjectName("Form_hpvinfo");
  setWindowTitle("Info");
  setModal(true);
  const DrawingInfo info = CollectDrawingInfo(limits);
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  top->addLayout(grid);
  int row = 0;
  auto add = [&](QLabel*& label, const char* labelName, const char* caption, QLineEdit*& edit,
                 const char* editName, const std::string& value) {
    label = new QLabel(QtText(caption), this);
    label->setObjectName(labelName);
    edit = new QLineEdit(QtText(value), this);
    edit->setObjectName(editName);
    edit->setReadOnly(true);
    edit->setCursorPosition(0);
    label->setBuddy(edit);
    grid->addWidget(label, row, 0);
    grid->addWidget(edit, row, 1);
    ++row;
  };
  add(Label_filename, "Label_filename", "File name", Edit_filename, "Edit_filename", info.fileName);
  add(Label_filesize, "Label_filesize", "File size", Edit_filesize, "Edit_filesize", info.fileSize);
  add(Label_filedate, "Label_filedate", "Date", Edit_filedate, "Edit_filedate", info.fileDate);
  add(Label_xymin, "Label_xymin", "x/y min.", Edit_xymin, "Edit_xymin", info.xyMin);
  add(Label_xymax, "Label_xymax", "x/y max.", Edit_xymax, "Edit_xymax", info.xyMax);
  add(Label_elements, "Label_elements", "Drawing elements", Edit_elements, "Edit_elements", info.elements);
  add(Label_texts, "Label_texts", "Text", Edit_texts, "Edit_texts", info.texts);
  add(Label_block, "Label_block", "Blocks", Edit_block, "Edit_block", info.blocks);
  Edit_filename->setMinimumWidth(300);

  auto* buttons = new QHBoxLayout;
  Button_ok = new QPushButton("OK", this);
  Button_ok->setObjectName("Button_ok");
  Button_ok->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(Button_ok);
  top->addLayout(buttons);
  connect(Button_ok, &QPushButton::clicked, this, &QDialog::accept);
  Button_ok->setFocus();
}

}  // namespace planox
