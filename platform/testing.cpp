// Input injection and window control for tests: linked into the test programs only.

#include "platform/testing.h"

#include "platform/application.h"
#include "platform/controls.h"
#include "platform/graphics.h"
#include "platform/internal/files_p.h"
#include "platform/internal/graphics_p.h"
#include "platform/internal/menu_p.h"
#include "platform/internal/modal_p.h"
#include "platform/internal/modules_p.h"
#include "platform/internal/picture_p.h"
#include "platform/internal/printing_p.h"
#include "platform/internal/qt_util.h"
#include "platform/internal/runtime_p.h"
#include "platform/internal/system_p.h"
#include "platform/internal/window_p.h"
#include "platform/menu.h"
#include "platform/picture.h"
#include "platform/system.h"
#include "platform/values.h"
#include "platform/window.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <functional>

#include <stdexcept>

#include <deque>
#include <utility>

namespace platform::testing {

namespace {

Qt::KeyboardModifiers toQt(unsigned modifiers)
{
    Qt::KeyboardModifiers m;
    if (modifiers & Command)
        m |= Qt::ControlModifier;
    if (modifiers & Shift)
        m |= Qt::ShiftModifier;
    return m;
}

Qt::MouseButton toQt(MouseButton b)
{
    return b == MouseButton::Right ? Qt::RightButton : Qt::LeftButton;
}

QWidget* widgetOf(Canvas& canvas)
{
    return canvas.impl().widget;
}

QString withoutMnemonic(QString caption)
{
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return caption;
}

// The modal widget a test works, through what the person sees of it.
class ShownDialog final : public RealDialog {
public:
    explicit ShownDialog(QWidget* widget) : mWidget(widget) {}

    std::string title() const override { return detail::ss(mWidget->windowTitle()); }
    std::string text() const override
    {
        const auto* box = qobject_cast<QMessageBox*>(mWidget);
        return box ? detail::ss(box->text()) : std::string();
    }
    std::string explanation() const override
    {
        const auto* box = qobject_cast<QMessageBox*>(mWidget);
        return box ? detail::ss(box->informativeText()) : std::string();
    }
    std::vector<std::string> buttons() const override
    {
        std::vector<std::string> out;
        for (QAbstractButton* b : visibleButtons())
            out.push_back(detail::ss(withoutMnemonic(b->text())));
        return out;
    }
    std::string defaultButton() const override
    {
        for (QAbstractButton* b : visibleButtons())
            if (auto* push = qobject_cast<QPushButton*>(b); push && push->isDefault())
                return detail::ss(withoutMnemonic(push->text()));
        return {};
    }
    std::vector<std::string> nameFilters() const override
    {
        std::vector<std::string> out;
        if (const auto* dialog = fileDialog())
            for (const QString& f : dialog->nameFilters())
                out.push_back(detail::ss(f));
        return out;
    }
    std::string selectedNameFilter() const override
    {
        const auto* dialog = fileDialog();
        return dialog ? detail::ss(dialog->selectedNameFilter()) : std::string();
    }
    std::string folder() const override
    {
        const auto* dialog = fileDialog();
        return dialog ? detail::ss(dialog->directory().absolutePath()) : std::string();
    }
    std::string fileName() const override
    {
        const QLineEdit* edit = nameField();
        return edit ? detail::ss(edit->text()) : std::string();
    }
    Window* window() const override
    {
        for (Window* w : detail::windowsInCreationOrder())
            if (!w->isClosed() && w->impl().widget == mWidget)
                return w;
        return nullptr;
    }
    bool press(const std::string& caption) override
    {
        for (QAbstractButton* b : visibleButtons())
            if (withoutMnemonic(b->text()) == detail::qs(caption) && b->isEnabled()) {
                QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, clickPoint(b));
                return true;
            }
        return false;
    }
    void typeFileName(const std::string& name) override
    {
        // The whole text at once, as an edit of the person's: typed key by key, a path would
        // send the dialog's completer and folder list looking for each folder on the way.
        if (QLineEdit* edit = nameField()) {
            // Typing goes to a field that has the focus, which the dialog's choice of file
            // follows.
            mWidget->activateWindow();
            QCoreApplication::processEvents();
            edit->setFocus(Qt::OtherFocusReason);
            edit->setText(detail::qs(name));
            Q_EMIT edit->textEdited(edit->text());
        }
    }
    void pressEscape() override { QTest::keyClick(mWidget, Qt::Key_Escape); }
    void clickCloseBox() override { mWidget->close(); }

private:
    QFileDialog* fileDialog() const { return qobject_cast<QFileDialog*>(mWidget); }
    QLineEdit* nameField() const
    {
        QFileDialog* dialog = fileDialog();
        return dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
    }
    // Where a person clicks the button: a radio or check button takes clicks on its mark and
    // caption alone, which a wide one does not reach to its middle.
    static QPoint clickPoint(QAbstractButton* b)
    {
        QStyleOptionButton option;
        option.initFrom(b);
        option.text = b->text();
        option.icon = b->icon();
        option.iconSize = b->iconSize();
        QRect area = b->rect();
        if (qobject_cast<QRadioButton*>(b))
            area = b->style()->subElementRect(QStyle::SE_RadioButtonClickRect, &option, b);
        else if (qobject_cast<QCheckBox*>(b))
            area = b->style()->subElementRect(QStyle::SE_CheckBoxClickRect, &option, b);
        return area.center();
    }
    std::vector<QAbstractButton*> visibleButtons() const
    {
        std::vector<QAbstractButton*> out;
        for (QAbstractButton* b : mWidget->findChildren<QAbstractButton*>())
            if (b->isVisibleTo(mWidget) && !b->text().isEmpty())
                out.push_back(b);
        return out;
    }

    QWidget* mWidget;
};

// Sees each modal widget as it is shown and, once its own run has started, hands it to the
// next step.
class ModalWatcher final : public QObject {
public:
    explicit ModalWatcher(RealDialogs::Impl& owner) : mOwner(owner) {}

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    RealDialogs::Impl& mOwner;
};

} // namespace

struct RealDialogs::Impl {
    ModalHandler putAside;
    std::deque<std::function<void(RealDialog&)>> steps;
    std::vector<std::string> unanswered;
    ModalWatcher watcher{*this};

    // Closes a modal that nobody is left to answer.
    static void dismiss(QWidget* widget)
    {
        ShownDialog shown(widget);
        if (Window* w = shown.window())
            w->hide();
        else if (auto* dialog = qobject_cast<QDialog*>(widget))
            dialog->reject();
        else
            widget->hide();
    }

    void work(QPointer<QWidget> widget)
    {
        if (!widget || !widget->isVisible())
            return;
        if (steps.empty()) {
            unanswered.push_back(detail::ss(widget->windowTitle()));
            dismiss(widget);
            return;
        }
        const auto step = std::move(steps.front());
        steps.pop_front();
        ShownDialog shown(widget);
        step(shown);
        if (widget && widget->isVisible() && widget->isModal()) {
            unanswered.push_back(detail::ss(widget->windowTitle()) + " (left open)");
            dismiss(widget);
        }
    }
};

namespace {

bool ModalWatcher::eventFilter(QObject* object, QEvent* event)
{
    if (event->type() == QEvent::Show && object->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(object);
        if (widget->isWindow() && widget->isModal()) {
            // Queued, so that the step runs inside the modal's own event loop.
            QPointer<QWidget> shown(widget);
            QMetaObject::invokeMethod(
                this, [this, shown] { mOwner.work(shown); }, Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(object, event);
}

} // namespace

RealDialogs::RealDialogs() : d(std::make_unique<Impl>())
{
    d->putAside = std::exchange(detail::modalHandler(), ModalHandler());
    qApp->installEventFilter(&d->watcher);
}

RealDialogs::~RealDialogs()
{
    qApp->removeEventFilter(&d->watcher);
    detail::modalHandler() = std::move(d->putAside);
}

RealDialogs& RealDialogs::then(std::function<void(RealDialog&)> step)
{
    d->steps.push_back(std::move(step));
    return *this;
}

bool RealDialogs::done() const
{
    return d->steps.empty();
}

std::vector<std::string> RealDialogs::unanswered() const
{
    return d->unanswered;
}

void setModalHandler(ModalHandler handler)
{
    detail::modalHandler() = std::move(handler);
}

void processEvents()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    detail::flushDeletions();
}

void finishPaints()
{
    processEvents();
    for (Window* w : detail::windowsInCreationOrder()) {
        if (w->impl().closed)
            continue;
        for (const auto& control : w->impl().controls) {
            detail::ControlImpl& c = control->impl();
            if (c.repaintAsked && c.paintedAt <= c.askedAt && c.widget->isVisible())
                c.widget->repaint();
        }
    }
    processEvents();
}

void destroyAllWindows()
{
    const std::vector<Window*> windows = detail::windowsInCreationOrder();
    for (Window* w : windows) {
        detail::WindowImpl& d = w->impl();
        if (!d.closed) {
            d.closed = true;
            d.pendingShow = false;
            if (d.forget)
                d.forget();
            d.widget->hide();
            detail::scheduleDelete(w);
        }
    }
    detail::flushDeletions(true);
    detail::clearQuitRequest();
}

Picture shownPixels(const Canvas& canvas)
{
    processEvents();
    const QWidget* w = canvas.impl().widget;
    Picture pic(w->width(), w->height());
    pic.impl().image = detail::shownImage(w);
    return pic;
}

int paintThreads(const Canvas& canvas)
{
    return canvas.impl().paintThreads;
}

void activate(Window& window)
{
    QWidget* w = window.impl().widget;
    if (!w->isVisible())
        window.show();
    w->activateWindow();
    (void)QTest::qWaitForWindowActive(w, 2000);
    processEvents();
}

void clickCloseBox(Window& window)
{
    window.impl().widget->close();
    processEvents();
}

void minimise(Window& window)
{
    QWidget* w = window.impl().widget;
    w->setWindowState(w->windowState() | Qt::WindowMinimized);
    processEvents();
}

void maximise(Window& window)
{
    QWidget* w = window.impl().widget;
    // The headless platform would fill a screen of its own, which need not be the size a test
    // gave: there the window's frame is made to fill the available area as a window manager's
    // maximising does.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        processEvents();
        return;
    }
    const QRect area(Screen::availableLeft(), Screen::availableTop(), Screen::availableWidth(),
                     Screen::availableHeight());
    const QRect frame = w->frameGeometry();
    const QRect client = w->geometry();
    w->setGeometry(area.adjusted(client.left() - frame.left(), client.top() - frame.top(),
                                 client.right() - frame.right(), client.bottom() - frame.bottom()));
    processEvents();
}

void moveAsUser(Window& window, int32_t left, int32_t top)
{
    window.impl().widget->move(left, top);
    processEvents();
}

namespace {

Rect rectOf(const QRect& r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}

} // namespace

Rect frameOnScreen(const Window& window)
{
    return rectOf(window.impl().widget->frameGeometry());
}

std::vector<std::pair<const Control*, Rect>> controlsOnScreen(const Window& window)
{
    std::vector<std::pair<const Control*, Rect>> shown;
    const detail::WindowImpl& d = window.impl();
    auto onScreen = [](const QWidget* w) {
        return rectOf(QRect(w->mapToGlobal(QPoint(0, 0)), w->size()));
    };
    if (d.qMenuBar && d.qMenuBar->isVisible())
        shown.emplace_back(nullptr, onScreen(d.qMenuBar));
    for (const auto& control : d.controls)
        if (const QWidget* w = control->impl().widget; w && w->isVisible())
            shown.emplace_back(control.get(), onScreen(w));
    return shown;
}

bool isMinimised(const Window& window)
{
    return (window.impl().widget->windowState() & Qt::WindowMinimized) != 0;
}

void drawFailingOperation(Graphics& g, int32_t top, int32_t bottom, std::string what)
{
    g.impl().draw(top, bottom, [what = std::move(what)](QPainter&, detail::TextFonts&) -> void {
        throw std::runtime_error(what);
    });
}

FileDialogReach probeFileDialog(const std::function<void()>& show)
{
    FileDialogReach reach;
    // Looks at the dialog as it comes up, and cancels it once its run has begun.
    struct ShowFilter : QObject {
        FileDialogReach* reach = nullptr;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            auto* dialog = qobject_cast<QFileDialog*>(watched);
            if (!dialog || event->type() != QEvent::Show)
                return false;
            reach->shown = true;
            for (QAbstractItemView* view : dialog->findChildren<QAbstractItemView*>()) {
                reach->dragAway = reach->dragAway || view->dragEnabled();
                reach->dropOnto =
                    reach->dropOnto || view->acceptDrops() || view->viewport()->acceptDrops();
            }
            if (auto* button =
                    dialog->findChild<QAbstractButton*>(QStringLiteral("newFolderButton")))
                reach->newFolder = button->isVisibleTo(dialog) && button->isEnabled();
            // The dialog's rename and delete both ask its model first.
            if (auto* model = dialog->findChild<QFileSystemModel*>())
                reach->renameOrDelete = !model->isReadOnly();
            QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
            return false;
        }
    } filter;
    filter.reach = &reach;
    ModalHandler handler = std::exchange(detail::modalHandler(), ModalHandler());
    qApp->installEventFilter(&filter);
    show();
    qApp->removeEventFilter(&filter);
    detail::modalHandler() = std::move(handler);
    return reach;
}

void mousePress(Canvas& canvas, int32_t x, int32_t y, unsigned modifiers, MouseButton button)
{
    QTest::mousePress(widgetOf(canvas), toQt(button), toQt(modifiers), QPoint(x, y));
}

void mouseMove(Canvas& canvas, int32_t x, int32_t y, unsigned modifiers)
{
    // QTest's move carries no modifiers; a move event of our own does.
    QWidget* w = widgetOf(canvas);
    QMouseEvent move(QEvent::MouseMove, QPointF(x, y), QPointF(w->mapToGlobal(QPoint(x, y))),
                     Qt::NoButton, QApplication::mouseButtons(), toQt(modifiers));
    QApplication::sendEvent(w, &move);
}

void mouseRelease(Canvas& canvas, int32_t x, int32_t y, unsigned modifiers, MouseButton button)
{
    QTest::mouseRelease(widgetOf(canvas), toQt(button), toQt(modifiers), QPoint(x, y));
}

void typeKey(Window& window, const std::string& key)
{
    // The window's focus widget, also while the window is not the active one.
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != window.impl().widget)
        target = window.impl().widget->focusWidget();
    if (!target)
        target = window.impl().widget;
    const QKeySequence sequence(detail::qs(key), QKeySequence::PortableText);
    if (sequence.isEmpty())
        return;
    const QKeyCombination combination = sequence[0];
    QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
}

void doubleClickRow(ListBox& list, int32_t row)
{
    auto* table = static_cast<QTableWidget*>(list.impl().widget);
    QPoint at(5, table->viewport()->height() - 2);
    if (row >= 0 && row < table->rowCount())
        at = table->visualRect(table->model()->index(row, 0)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
}

void clickHeading(ListBox& list, int32_t column)
{
    auto* table = static_cast<QTableWidget*>(list.impl().widget);
    QHeaderView* header = table->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

bool chooseMenuItem(const std::string& name)
{
    Application* app = Application::instance();
    if (!app || !app->menuBar())
        return false;
    MenuBar* bar = app->menuBar();
    bar->updateEnabling();
    MenuItem* item = bar->item(name);
    if (!item || !item->isEnabled())
        return false;
    detail::dispatchMenuItem(*item);
    return true;
}

void seedRandom(unsigned long seed)
{
    platform::randomEngine().seed(seed);
}

void setScreenSize(int32_t width, int32_t height)
{
    detail::setScreenOverride(width, height);
}

namespace {

// Runs `work` once `find` finds what it looks for, as soon as the event loop gets to it; looks
// again on each turn of the loop until then, and gives up once `stillWaiting` says so.
void whenFound(const std::function<QWidget*()>& find, const std::function<bool()>& stillWaiting,
               const std::function<void(QWidget*)>& work)
{
    QTimer::singleShot(0, qApp, [=] {
        if (QWidget* w = find())
            work(w);
        else if (stillWaiting())
            whenFound(find, stillWaiting, work);
    });
}

template <typename T> T* shownModal()
{
    auto* w = qobject_cast<T*>(QApplication::activeModalWidget());
    return w && w->isVisible() ? w : nullptr;
}

} // namespace

void typeIntoNextFileDialog(std::string name, std::string* question)
{
    whenFound([] { return shownModal<QFileDialog>(); }, [] { return true; },
              [name, question](QWidget* w) {
                  QPointer<QFileDialog> dialog = static_cast<QFileDialog*>(w);
                  // The replace question comes from inside the accept button's press.
                  whenFound([] { return shownModal<QMessageBox>(); },
                            [dialog] { return dialog && dialog->isVisible(); },
                            [question](QWidget* box) {
                                auto* b = static_cast<QMessageBox*>(box);
                                if (question)
                                    *question = detail::ss(b->text());
                                b->button(QMessageBox::Yes)->click();
                            });
                  dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                      ->setText(detail::qs(name));
                  auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
                  QPushButton* accept = buttons->button(
                      dialog->acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save
                                                                      : QDialogButtonBox::Open);
                  accept->click();
              });
}

void closeNextDialog(bool confirm)
{
    whenFound([] { return shownModal<QDialog>(); }, [] { return true; },
              [confirm](QWidget* w) {
                  auto* dialog = static_cast<QDialog*>(w);
                  (void)dialog->grab(); // paints every part of it
                  if (confirm)
                      dialog->accept();
                  else
                      dialog->reject();
              });
}

namespace {

std::vector<std::string> gWarnings;
QtMessageHandler gPassOn = nullptr;

void recordWarning(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        gWarnings.push_back(detail::ss(message));
    if (gPassOn)
        gPassOn(type, context, message);
}

} // namespace

ToolkitWarnings::ToolkitWarnings()
{
    gWarnings.clear();
    gPassOn = qInstallMessageHandler(recordWarning);
}

ToolkitWarnings::~ToolkitWarnings()
{
    qInstallMessageHandler(gPassOn);
    gPassOn = nullptr;
}

const std::vector<std::string>& ToolkitWarnings::messages() const
{
    return gWarnings;
}

FileWriteFault::FileWriteFault(Step step)
{
    using detail::WriteFault;
    const WriteFault fault = step == Step::ShortWrite ? WriteFault::ShortWrite
                             : step == Step::Sync     ? WriteFault::Sync
                                                      : WriteFault::Rename;
    detail::writeFault().store(fault);
}

FileWriteFault::~FileWriteFault()
{
    detail::writeFault().store(detail::WriteFault::None);
}

struct FakePrintQueue::Impl : detail::PrintQueueSteps {
    Step failAt = Step::None;
    std::vector<std::string> steps;
    std::string title;
    std::vector<std::string> options;
    std::string document;

    bool take(const char* step, Step which)
    {
        steps.emplace_back(step);
        return failAt != which;
    }
    int createJob(const std::string& jobTitle, const detail::JobOptions& jobOptions) override
    {
        title = jobTitle;
        for (const auto& [name, value] : jobOptions)
            options.push_back(name + "=" + value);
        return take("create", Step::CreateJob) ? 7 : 0;
    }
    bool startDocument(int, const std::string&) override
    {
        return take("start", Step::StartDocument);
    }
    bool writeData(int, std::string_view bytes) override
    {
        document.append(bytes);
        return take("write", Step::WriteData);
    }
    bool finishDocument(int) override { return take("finish", Step::FinishDocument); }
    void cancelJob(int) override { steps.emplace_back("cancel"); }
};

void setModuleFolder(std::string folder)
{
    detail::setModuleFolder(std::move(folder));
}

FakePrintQueue::FakePrintQueue(std::string queue, Step failAt) : d(std::make_unique<Impl>())
{
    d->failAt = failAt;
    detail::testPrintQueue() = {std::move(queue), d.get()};
}

FakePrintQueue::~FakePrintQueue()
{
    detail::testPrintQueue() = {};
}

const std::vector<std::string>& FakePrintQueue::steps() const
{
    return d->steps;
}

const std::string& FakePrintQueue::title() const
{
    return d->title;
}

const std::vector<std::string>& FakePrintQueue::options() const
{
    return d->options;
}

const std::string& FakePrintQueue::document() const
{
    return d->document;
}

} // namespace platform::testing
