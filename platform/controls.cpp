// The toolkit's own controls: push button, static text, edit field, slider and scroll bar,
// check box, group box and rectangle.

#include "platform/controls.h"

#include "platform/application.h"
#include "platform/internal/control_p.h"
#include "platform/internal/qt_util.h"
#include "platform/internal/window_p.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QStackedLayout>

#include <limits>

namespace platform {

using detail::qs;
using detail::ss;
using detail::widgetOf;

namespace {

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

} // namespace

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
    widgetOf<QLabel>(*this)->setAlignment(detail::qtAlignment(a));
}

void StaticText::setTextColor(Color c)
{
    QLabel* label = widgetOf<QLabel>(*this);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(c.r, c.g, c.b));
    label->setPalette(pal);
}

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
    QObject::connect(w->line, &QLineEdit::editingFinished, w, [this, w] {
        if (!w->multiline())
            runGuarded(onEditingFinished);
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
    widgetOf<EditWidget>(*this)->line->setAlignment(detail::qtAlignment(a));
}

void EditField::setReadOnly(bool readOnly)
{
    EditWidget* w = widgetOf<EditWidget>(*this);
    w->line->setReadOnly(readOnly);
    w->text->setReadOnly(readOnly);
}

void EditField::selectAll()
{
    EditWidget* w = widgetOf<EditWidget>(*this);
    if (w->multiline())
        w->text->selectAll();
    else
        w->line->selectAll();
}

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

} // namespace platform
