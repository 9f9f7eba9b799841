// Input injection and window control for tests: linked into the test programs only.

#include "platform/testing.h"

#include "platform/application.h"
#include "platform/controls.h"
#include "platform/graphics.h"
#include "platform/internal/files_p.h"
#include "platform/internal/graphics_p.h"
#include "platform/internal/menu_p.h"
#include "platform/internal/modal_p.h"
#include "platform/internal/picture_p.h"
#include "platform/internal/printing_p.h"
#include "platform/internal/qt_util.h"
#include "platform/internal/runtime_p.h"
#include "platform/internal/system_p.h"
#include "platform/internal/window_p.h"
#include "platform/menu.h"
#include "platform/picture.h"
#include "platform/values.h"
#include "platform/window.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <functional>

#include <stdexcept>
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

} // namespace

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
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != window.impl().widget)
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

FakePrintQueue::FakePrintQueue(std::string queue, Step failAt) : d(std::make_unique<Impl>())
{
    d->failAt = failAt;
    detail::testPrintQueue() = {detail::qs(queue), d.get()};
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
