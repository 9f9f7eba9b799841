#include "platform/controls.h"

#include "platform/application.h"
#include "platform/graphics.h"
#include "platform/internal/canvas_p.h"
#include "platform/internal/modal_p.h"
#include "platform/internal/qt_util.h"
#include "platform/internal/runtime_p.h"
#include "platform/internal/window_p.h"

#include <QCheckBox>
#include <QCursor>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QStackedLayout>
#include <QTableWidget>

#include <limits>

namespace platform {

using detail::qs;
using detail::ss;

namespace {

Qt::Alignment toQt(Alignment a)
{
    switch (a) {
    case Alignment::Left:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case Alignment::Center:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case Alignment::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case Alignment::Default:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

// The key as the program sees it: the typed text, or the key's name.
std::string keyText(const QKeyEvent* event)
{
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).isPrint())
        return ss(text);
    return ss(QKeySequence(event->key()).toString(QKeySequence::PortableText));
}

// The canvas's widget: paints through Graphics and turns the mouse into the program's press,
// drag and release.
class CanvasWidget : public QWidget {
public:
    explicit CanvasWidget(Canvas& canvas, QWidget* parent) : QWidget(parent), mCanvas(canvas)
    {
        setFocusPolicy(Qt::NoFocus);
        // The canvas covers its whole area itself, so the toolkit paints nothing beneath it.
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    bool eraseBackground = true;

protected:
    void paintEvent(QPaintEvent*) override
    {
        // Erasing makes the canvas white; a canvas that does not erase starts from its last
        // picture.
        mCanvas.impl().paintedAt = detail::startPaint();
        QPainter painter(this);
        Canvas* canvas = &mCanvas;
        mCanvas.impl().paintThreads =
            detail::paintCanvas(painter, size(), eraseBackground, [canvas](Graphics& g) {
                if (canvas->onPaint)
                    runGuarded([canvas, &g] { canvas->onPaint(g); });
            });
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
            event->ignore();
            return;
        }
        if (focusPolicy() != Qt::NoFocus)
            setFocus(Qt::MouseFocusReason);
        const MouseEvent press{static_cast<int32_t>(event->position().x()),
                               static_cast<int32_t>(event->position().y()),
                               event->button() == Qt::RightButton};
        mTracking = false;
        if (!mCanvas.onMouseDown)
            return;
        const unsigned long modalsBefore = detail::modalRunCount();
        Canvas* canvas = &mCanvas;
        const bool wantsDrag =
            runGuardedResult([canvas, press] { return canvas->onMouseDown(press); });
        // A press that ran a dialog or a menu has lost its button to it: the gesture ends here.
        if (!wantsDrag || detail::modalRunCount() != modalsBefore || detail::terminating())
            return;
        mTracking = true;
        mButton = event->button();
        if (mCanvas.onMouseDrag)
            runGuarded([canvas, press] {
                canvas->onMouseDrag(MouseEvent{press.x, press.y, false});
            });
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!mTracking || !mCanvas.onMouseDrag)
            return;
        const MouseEvent drag{static_cast<int32_t>(event->position().x()),
                              static_cast<int32_t>(event->position().y()), false};
        Canvas* canvas = &mCanvas;
        runGuarded([canvas, drag] { canvas->onMouseDrag(drag); });
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (!mTracking || event->button() != mButton)
            return;
        mTracking = false;
        if (!mCanvas.onMouseUp)
            return;
        const MouseEvent release{static_cast<int32_t>(event->position().x()),
                                 static_cast<int32_t>(event->position().y()),
                                 mButton == Qt::RightButton};
        Canvas* canvas = &mCanvas;
        runGuarded([canvas, release] { canvas->onMouseUp(release); });
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        bool handled = false;
        if (mCanvas.onKeyDown) {
            const std::string key = keyText(event);
            Canvas* canvas = &mCanvas;
            handled = runGuardedResult([canvas, key] { return canvas->onKeyDown(key); });
        }
        if (!handled)
            event->ignore(); // on to the window: Return presses its default button
    }

    void contextMenuEvent(QContextMenuEvent* event) override { event->accept(); }

private:
    Canvas& mCanvas;
    bool mTracking = false;
    Qt::MouseButton mButton = Qt::LeftButton;
};

// A rectangle with a border and a fill.
class RectangleWidget : public QWidget {
public:
    using QWidget::QWidget;
    QColor border{0, 0, 0};
    int borderWidth = 1;
    QColor fill{255, 255, 255};

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), border);
        p.fillRect(rect().adjusted(borderWidth, borderWidth, -borderWidth, -borderWidth), fill);
    }
};

// A list box's table: columns sized by percentages of its width.
class ListWidget : public QTableWidget {
public:
    using QTableWidget::QTableWidget;
    std::vector<double> percents;

    void applyWidths()
    {
        const int total = viewport()->width();
        for (int c = 0; c < columnCount() && c < static_cast<int>(percents.size()); ++c)
            setColumnWidth(c, static_cast<int>(total * percents[static_cast<size_t>(c)] / 100.0));
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QTableWidget::resizeEvent(event);
        applyWidths();
    }
};

template <class W> W* widgetOf(const Control& c)
{
    return static_cast<W*>(c.impl().widget);
}

} // namespace

// --- Control ---

Control::Control(const detail::ControlContext& context)
    : d(std::make_unique<detail::ControlImpl>(context, this))
{
}

Control::~Control() = default;

const std::string& Control::name() const
{
    return d->name;
}
Window& Control::window() const
{
    return *d->window->owner;
}
int32_t Control::left() const
{
    return d->placed.x();
}
int32_t Control::top() const
{
    return d->placed.y();
}
int32_t Control::width() const
{
    return d->placed.width();
}
int32_t Control::height() const
{
    return d->placed.height();
}

void Control::setLeft(int32_t left)
{
    d->design.left = left - (d->placed.x() - d->design.left);
    d->relayout();
}

void Control::setTop(int32_t top)
{
    d->design.top = top - (d->placed.y() - d->design.top);
    d->relayout();
}

bool Control::isVisible() const
{
    return !d->widget->isHidden();
}
void Control::setVisible(bool visible)
{
    d->widget->setVisible(visible);
}
bool Control::isEnabled() const
{
    return d->widget->isEnabled();
}
void Control::setEnabled(bool enabled)
{
    d->widget->setEnabled(enabled);
}
void Control::setFocus()
{
    d->widget->setFocus(Qt::OtherFocusReason);
}
void Control::setHelpTag(std::string_view text)
{
    d->widget->setToolTip(qs(text));
}

void Control::setTextSize(double size)
{
    QFont f = d->widget->font();
    f.setPixelSize(std::max(1, static_cast<int>(size + 0.5)));
    d->widget->setFont(f);
}

void Control::setBold(bool bold)
{
    QFont f = d->widget->font();
    f.setBold(bold);
    d->widget->setFont(f);
}

void Control::refresh()
{
    d->window->refreshControl(this);
}

// --- Canvas ---

Canvas::Canvas(const detail::ControlContext& context) : Control(context)
{
    d->attach(new CanvasWidget(*this, context.window->content));
}

void Canvas::setAcceptsFocus(bool accepts)
{
    d->widget->setFocusPolicy(accepts ? Qt::StrongFocus : Qt::NoFocus);
}

void Canvas::setEraseBackground(bool erase)
{
    widgetOf<CanvasWidget>(*this)->eraseBackground = erase;
}

// --- PushButton ---

PushButton::PushButton(const detail::ControlContext& context) : Control(context)
{
    auto* button = new QPushButton(context.window->content);
    button->setAutoDefault(false);
    d->attach(button);
    QObject::connect(button, &QPushButton::clicked, button, [this] { runGuarded(onAction); });
}

std::string PushButton::caption() const
{
    return ss(widgetOf<QPushButton>(*this)->text());
}
void PushButton::setCaption(std::string_view caption)
{
    widgetOf<QPushButton>(*this)->setText(qs(caption));
}

void PushButton::push()
{
    QPushButton* button = widgetOf<QPushButton>(*this);
    if (button->isEnabled())
        button->click();
}

// --- StaticText ---

StaticText::StaticText(const detail::ControlContext& context) : Control(context)
{
    auto* label = new QLabel(context.window->content);
    label->setTextFormat(Qt::PlainText);
    d->attach(label);
}

std::string StaticText::text() const
{
    return ss(widgetOf<QLabel>(*this)->text());
}
void StaticText::setText(std::string_view text)
{
    widgetOf<QLabel>(*this)->setText(qs(text));
}
void StaticText::setAlignment(Alignment a)
{
    widgetOf<QLabel>(*this)->setAlignment(toQt(a));
}

void StaticText::setTextColor(Color c)
{
    QLabel* label = widgetOf<QLabel>(*this);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(c.r, c.g, c.b));
    label->setPalette(pal);
}

// --- EditField ---

namespace {

// An edit field is a line edit, or a plain text edit when it is multi-line; the page shows
// one of the two.
class EditWidget : public QWidget {
public:
    explicit EditWidget(QWidget* parent) : QWidget(parent)
    {
        auto* layout = new QStackedLayout(this);
        line = new QLineEdit(this);
        // No field limits its text: Qt's default of 32,767 characters would cut a longer one.
        line->setMaxLength(std::numeric_limits<int>::max());
        text = new QPlainTextEdit(this);
        text->setTabChangesFocus(true);
        layout->addWidget(line);
        layout->addWidget(text);
        setFocusProxy(line);
    }

    bool multiline() const { return static_cast<QStackedLayout*>(layout())->currentIndex() == 1; }
    void setMultiline(bool m)
    {
        static_cast<QStackedLayout*>(layout())->setCurrentIndex(m ? 1 : 0);
        setFocusProxy(m ? static_cast<QWidget*>(text) : line);
    }

    QLineEdit* line;
    QPlainTextEdit* text;
};

QString normaliseLineEnds(QString s)
{
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

} // namespace

EditField::EditField(const detail::ControlContext& context) : Control(context)
{
    auto* w = new EditWidget(context.window->content);
    d->attach(w);
    QObject::connect(w->line, &QLineEdit::textChanged, w, [this, w] {
        if (!w->multiline())
            runGuarded(onTextChange);
    });
    QObject::connect(w->text, &QPlainTextEdit::textChanged, w, [this, w] {
        if (w->multiline())
            runGuarded(onTextChange);
    });
}

std::string EditField::text() const
{
    const EditWidget* w = widgetOf<EditWidget>(*this);
    if (!w->multiline())
        return ss(w->line->text());
    QString s = w->text->toPlainText();
    s.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    return ss(s);
}

void EditField::setText(std::string_view value)
{
    if (value == text())
        return;
    EditWidget* w = widgetOf<EditWidget>(*this);
    if (w->multiline())
        w->text->setPlainText(normaliseLineEnds(qs(value)));
    else
        w->line->setText(qs(value));
}

void EditField::setMultiline(bool multiline)
{
    widgetOf<EditWidget>(*this)->setMultiline(multiline);
}

void EditField::setAlignment(Alignment a)
{
    widgetOf<EditWidget>(*this)->line->setAlignment(toQt(a));
}

void EditField::setBorder(bool border)
{
    EditWidget* w = widgetOf<EditWidget>(*this);
    w->line->setFrame(border);
    w->text->setFrameShape(border ? QFrame::StyledPanel : QFrame::NoFrame);
}

// --- RangeControl, Slider, ScrollBar ---

RangeControl::RangeControl(const detail::ControlContext& context, Look look) : Control(context)
{
    QAbstractSlider* bar = nullptr;
    if (look == Look::Slider)
        bar = new QSlider(Qt::Horizontal, context.window->content);
    else
        bar = new QScrollBar(Qt::Vertical, context.window->content);
    d->attach(bar);
    QObject::connect(bar, &QAbstractSlider::valueChanged, bar,
                     [this] { runGuarded(onValueChanged); });
}

int32_t RangeControl::value() const
{
    return widgetOf<QAbstractSlider>(*this)->value();
}
void RangeControl::setValue(int32_t value)
{
    widgetOf<QAbstractSlider>(*this)->setValue(value);
}
void RangeControl::setRange(int32_t lo, int32_t hi)
{
    widgetOf<QAbstractSlider>(*this)->setRange(lo, hi);
}
void RangeControl::setLineStep(int32_t step)
{
    widgetOf<QAbstractSlider>(*this)->setSingleStep(step);
}
void RangeControl::setPageStep(int32_t step)
{
    widgetOf<QAbstractSlider>(*this)->setPageStep(step);
}
void RangeControl::setLiveScroll(bool live)
{
    widgetOf<QAbstractSlider>(*this)->setTracking(live);
}

Slider::Slider(const detail::ControlContext& context) : RangeControl(context, Look::Slider)
{
    setRange(0, 100);
}

ScrollBar::ScrollBar(const detail::ControlContext& context) : RangeControl(context, Look::ScrollBar)
{
}

// --- CheckBox ---

CheckBox::CheckBox(const detail::ControlContext& context) : Control(context)
{
    auto* box = new QCheckBox(context.window->content);
    d->attach(box);
    QObject::connect(box, &QCheckBox::toggled, box, [this] { runGuarded(onAction); });
}

std::string CheckBox::caption() const
{
    return ss(widgetOf<QCheckBox>(*this)->text());
}
void CheckBox::setCaption(std::string_view c)
{
    widgetOf<QCheckBox>(*this)->setText(qs(c));
}
bool CheckBox::value() const
{
    return widgetOf<QCheckBox>(*this)->isChecked();
}
void CheckBox::setValue(bool value)
{
    widgetOf<QCheckBox>(*this)->setChecked(value);
}

// --- GroupBox ---

GroupBox::GroupBox(const detail::ControlContext& context) : Control(context)
{
    auto* box = new QGroupBox(context.window->content);
    // A group box only frames the controls over it; clicks go through to them.
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    d->attach(box);
}

void GroupBox::setCaption(std::string_view caption)
{
    widgetOf<QGroupBox>(*this)->setTitle(qs(caption));
}

// --- RectangleShape ---

RectangleShape::RectangleShape(const detail::ControlContext& context) : Control(context)
{
    d->attach(new RectangleWidget(context.window->content));
}

void RectangleShape::setBorder(Color c, int32_t width)
{
    auto* w = widgetOf<RectangleWidget>(*this);
    w->border = QColor(c.r, c.g, c.b);
    w->borderWidth = width;
    w->update();
}

void RectangleShape::setFill(Color c)
{
    auto* w = widgetOf<RectangleWidget>(*this);
    w->fill = QColor(c.r, c.g, c.b);
    w->update();
}

// --- ListBox ---

ListBox::ListBox(const detail::ControlContext& context) : Control(context)
{
    auto* table = new ListWidget(context.window->content);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->horizontalHeader()->setSectionsClickable(true);
    table->setSortingEnabled(false);
    table->setWordWrap(false);
    d->attach(table);
    QObject::connect(table, &QTableWidget::cellDoubleClicked, table,
                     [this] { runGuarded(onDoubleClick); });
    QObject::connect(table->horizontalHeader(), &QHeaderView::sectionClicked, table,
                     [this](int column) {
                         if (onSortColumn) {
                             auto handler = onSortColumn;
                             runGuardedResult([handler, column] { return handler(column); });
                         }
                     });
}

void ListBox::setColumns(const std::vector<std::string>& headings, std::string_view widths)
{
    auto* table = widgetOf<ListWidget>(*this);
    table->setColumnCount(static_cast<int>(headings.size()));
    QStringList labels;
    for (const std::string& h : headings)
        labels << qs(h);
    table->setHorizontalHeaderLabels(labels);
    table->percents.clear();
    for (const QString& part : qs(widths).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        QString p = part.trimmed();
        p.remove(QLatin1Char('%'));
        table->percents.push_back(p.toDouble());
    }
    table->applyWidths();
}

void ListBox::setColumnAlignment(int32_t column, Alignment alignment)
{
    auto* table = widgetOf<ListWidget>(*this);
    table->setProperty(("align" + std::to_string(column)).c_str(), static_cast<int>(alignment));
    for (int r = 0; r < table->rowCount(); ++r)
        if (QTableWidgetItem* item = table->item(r, column))
            item->setTextAlignment(toQt(alignment));
}

void ListBox::setGridLines(bool grid)
{
    widgetOf<ListWidget>(*this)->setShowGrid(grid);
}

void ListBox::addRow(std::string_view text)
{
    auto* table = widgetOf<ListWidget>(*this);
    const int row = table->rowCount();
    table->insertRow(row);
    setCell(row, 0, text);
}

void ListBox::setCell(int32_t row, int32_t column, std::string_view text)
{
    auto* table = widgetOf<ListWidget>(*this);
    if (row < 0 || row >= table->rowCount() || column < 0 || column >= table->columnCount())
        return;
    QTableWidgetItem* item = table->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        const QVariant align = table->property(("align" + std::to_string(column)).c_str());
        if (align.isValid())
            item->setTextAlignment(toQt(static_cast<Alignment>(align.toInt())));
        table->setItem(row, column, item);
    }
    item->setText(qs(text));
}

std::string ListBox::cell(int32_t row, int32_t column) const
{
    const auto* table = widgetOf<ListWidget>(*this);
    const QTableWidgetItem* item = table->item(row, column);
    return item ? ss(item->text()) : std::string();
}

int32_t ListBox::rowCount() const
{
    return widgetOf<ListWidget>(*this)->rowCount();
}
void ListBox::deleteAllRows()
{
    widgetOf<ListWidget>(*this)->setRowCount(0);
}

int32_t ListBox::listIndex() const
{
    const auto* table = widgetOf<ListWidget>(*this);
    const QList<QTableWidgetItem*> selected = table->selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->row();
}

void ListBox::setListIndex(int32_t row)
{
    auto* table = widgetOf<ListWidget>(*this);
    if (row < 0 || row >= table->rowCount())
        table->clearSelection();
    else
        table->selectRow(row);
}

// --- ContextualMenu ---

ContextualMenu::ContextualMenu(std::string name) : mName(std::move(name)) {}
ContextualMenu::~ContextualMenu() = default;

void ContextualMenu::addRow(std::string text)
{
    mRows.push_back(std::move(text));
}

void ContextualMenu::open()
{
    ModalRequest request;
    request.kind = ModalRequest::Kind::ContextualMenu;
    request.buttons = mRows;
    const auto answer = detail::runModal(request, [this] {
        QMenu menu;
        for (const std::string& row : mRows)
            menu.addAction(qs(row));
        QAction* picked = menu.exec(QCursor::pos());
        return picked ? ModalAnswer::button(static_cast<int>(menu.actions().indexOf(picked)))
                      : ModalAnswer::cancel();
    });
    const int chosen = answer ? answer->choice : -1;
    if (chosen >= 0 && chosen < static_cast<int>(mRows.size()) && onAction) {
        const std::string row = mRows[static_cast<size_t>(chosen)];
        auto handler = onAction;
        runGuarded([handler, row] { handler(row); });
    }
}

// --- ToolbarItem ---

ToolbarItem::ToolbarItem(std::string name, std::string caption)
    : mName(std::move(name)), mCaption(std::move(caption))
{
}

void ToolbarItem::push()
{
    runGuarded(onAction);
}

} // namespace platform
