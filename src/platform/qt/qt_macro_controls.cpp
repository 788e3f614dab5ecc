#include "platform/qt/qt_macro_controls.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QSet>
#include <QSignalBlocker>

namespace tolvar {

namespace {

QString ToQString(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}
std::u16string ToU16(const QString& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), text.size());
}

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }
Rect FromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

// The few keys the event list and its edit tell apart, as virtual-key codes.
int VirtualKeyOf(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Insert:
      return 45;
    default:
      return 0;
  }
}

void Place(QWidget& widget, const Rect& area, int id) {
  widget.setObjectName(ControlName(id));
  widget.setGeometry(ToQRect(area));
  widget.show();
}

class QtEdit final : public EditControl {
 public:
  QtEdit(QWidget& parent, const Rect& area, int id) : edit_(new QLineEdit(&parent)) {
    edit_->setAlignment(Qt::AlignCenter);
    edit_->setFrame(false);
    Place(*edit_, area, id);
  }
  ~QtEdit() override { delete edit_.data(); }
  std::u16string Text() const override { return ToU16(edit_->text()); }
  void SetText(const std::u16string& text) override { edit_->setText(ToQString(text)); }
  void SetEnabled(bool enabled) override { edit_->setEnabled(enabled); }
  void SetFocus() override { edit_->setFocus(); }

 private:
  QPointer<QLineEdit> edit_;
};

void SetUpList(QListWidget& list) {
  list.setSortingEnabled(false);
  list.setEditTriggers(QAbstractItemView::NoEditTriggers);
  list.setSelectionMode(QAbstractItemView::SingleSelection);
  list.setUniformItemSizes(true);
  list.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  list.setFrameShape(QFrame::NoFrame);
}

// The list operations over any QListWidget; programmatic changes of the
// selection are not reported as the user's.
template <typename Base>
class QtListOf : public Base {
 public:
  explicit QtListOf(QListWidget* list) : list_(list) { SetUpList(*list_); }
  ~QtListOf() override { delete list_.data(); }

  int Count() const override { return list_->count(); }
  std::u16string Text(int line) const override {
    const QListWidgetItem* item = list_->item(line);
    return item ? ToU16(item->text()) : std::u16string();
  }
  void AddLine(const std::u16string& text) override {
    const QSignalBlocker quiet(list_);
    list_->addItem(ToQString(text));
  }
  void InsertLine(int line, const std::u16string& text) override {
    const QSignalBlocker quiet(list_);
    list_->insertItem(line, ToQString(text));
  }
  void DeleteLine(int line) override {
    const QSignalBlocker quiet(list_);
    delete list_->takeItem(line);
  }
  int Selection() const override {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.front());
  }
  void SetSelection(int line) override {
    const QSignalBlocker quiet(list_);
    if (line >= 0 && line < list_->count()) {
      list_->setCurrentRow(line);
    } else {
      list_->clearSelection();
      list_->setCurrentRow(-1);
    }
  }
  int LineHeight() const override {
    return list_->count() > 0 ? list_->sizeHintForRow(0) : list_->fontMetrics().height();
  }
  int TopLine() const override {
    const int row = list_->indexAt(QPoint(0, 0)).row();
    return row < 0 ? 0 : row;
  }
  Rect LineRect(int line) const override {
    const QListWidgetItem* item = list_->item(line);
    return item ? FromQRect(list_->visualItemRect(item)) : Rect{};
  }
  Rect ScreenRect() const override {
    const QWidget* client = list_->viewport();
    return FromQRect(QRect(client->mapToGlobal(QPoint(0, 0)), client->size()));
  }
  void SetFocus() override { list_->setFocus(); }

 protected:
  QPointer<QListWidget> list_;
};

class QtList final : public QtListOf<ListControl> {
 public:
  QtList(QWidget& parent, const Rect& area, int id, std::function<void()> selectionChanged)
      : QtListOf(new QListWidget(&parent)) {
    QObject::connect(list_, &QListWidget::currentRowChanged, list_,
                     [changed = std::move(selectionChanged)](int) { changed(); });
    Place(*list_, area, id);
  }
};

// The edit laid over a line: reports its key releases and its loss of focus
// until it is closed. Only keys pressed in it count: the release of the
// Enter that chose "Modify Delay" in the menu must not end the edit it opened.
class LineEdit final : public QLineEdit {
 public:
  LineEdit(QWidget* parent, EventListEvents& events) : QLineEdit(parent), events_(&events) {}
  void Detach() { events_ = nullptr; }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    pressed_.insert(event->key());
    QLineEdit::keyPressEvent(event);
  }
  void keyReleaseEvent(QKeyEvent* event) override {
    if (!event->isAutoRepeat() && !pressed_.remove(event->key())) return;
    if (events_) events_->OnLineEditKeyUp(VirtualKeyOf(*event));
    if (events_) QLineEdit::keyReleaseEvent(event);
  }
  void focusOutEvent(QFocusEvent* event) override {
    if (events_) events_->OnLineEditFocusLost();
    QLineEdit::focusOutEvent(event);
  }

 private:
  EventListEvents* events_;
  QSet<int> pressed_;
};

class EventListWidget final : public QListWidget {
 public:
  EventListWidget(QWidget* parent, EventListEvents& events) : QListWidget(parent), events_(events) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (!event->text().isEmpty()) events_.OnChar(event->text().at(0).unicode());
    QListWidget::keyPressEvent(event);
  }
  void keyReleaseEvent(QKeyEvent* event) override {
    events_.OnKeyUp(VirtualKeyOf(*event));
    QListWidget::keyReleaseEvent(event);
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::RightButton) {
      const QPoint at = event->position().toPoint();
      events_.OnRightButtonUp(at.x(), at.y());
    }
    QListWidget::mouseReleaseEvent(event);
  }
  void resizeEvent(QResizeEvent* event) override {
    QListWidget::resizeEvent(event);
    events_.OnSize();
  }
  void scrollContentsBy(int dx, int dy) override {
    events_.OnScroll();
    QListWidget::scrollContentsBy(dx, dy);
  }

 private:
  EventListEvents& events_;
};

class QtEventList final : public QtListOf<EventListControl> {
 public:
  QtEventList(QWidget& parent, const Rect& area, int id, EventListEvents& events)
      : QtListOf(new EventListWidget(&parent, events)), events_(events) {
    Place(*list_, area, id);
  }
  ~QtEventList() override { CloseLineEdit(); }

  void OpenLineEdit(const Rect& rect, const std::u16string& text) override {
    CloseLineEdit();
    edit_ = new LineEdit(list_->viewport(), events_);
    edit_->setObjectName(QStringLiteral("lineEdit"));
    edit_->setFont(list_->font());
    edit_->setGeometry(ToQRect(rect));
    edit_->setText(ToQString(text));
    edit_->selectAll();
    edit_->show();
    edit_->setFocus();
  }
  bool HasLineEdit() const override { return edit_ != nullptr; }
  std::u16string LineEditText() const override { return edit_ ? ToU16(edit_->text()) : std::u16string(); }
  void CloseLineEdit() override {
    if (!edit_) return;
    LineEdit* closing = edit_.data();
    edit_ = nullptr;
    closing->Detach();
    closing->hide();
    closing->deleteLater();  // it may be the widget whose event is being handled
    if (list_) list_->setFocus();
  }

 private:
  EventListEvents& events_;
  QPointer<LineEdit> edit_;
};

}  // namespace

QString ControlName(int id) { return QStringLiteral("control%1").arg(id); }

std::unique_ptr<EditControl> QtMacroControls::CreateEdit(const Rect& area, int id) {
  return std::make_unique<QtEdit>(parent_, area, id);
}

std::unique_ptr<ListControl> QtMacroControls::CreateList(const Rect& area, int id,
                                                         std::function<void()> selectionChanged) {
  return std::make_unique<QtList>(parent_, area, id, std::move(selectionChanged));
}

std::unique_ptr<EventListControl> QtMacroControls::CreateEventList(const Rect& area, int id, EventListEvents& events) {
  return std::make_unique<QtEventList>(parent_, area, id, events);
}

}  // namespace tolvar
