#include "tests/support/modal_script.h"

#include "platform/window.h"

#include <gtest/gtest.h>

namespace testsupport {

const char* kindName(Kind kind)
{
    switch (kind) {
    case Kind::Message:
        return "Message";
    case Kind::Question:
        return "Question";
    case Kind::OpenFile:
        return "OpenFile";
    case Kind::SaveFile:
        return "SaveFile";
    case Kind::PageSetup:
        return "PageSetup";
    case Kind::Print:
        return "Print";
    case Kind::ContextualMenu:
        return "ContextualMenu";
    case Kind::Window:
        return "Window";
    }
    return "?";
}

ModalScript::ModalScript()
{
    platform::testing::setModalHandler([this](const ModalRequest& r) { return answer(r); });
}

void InstallUnexpectedModalHandler()
{
    platform::testing::setModalHandler([](const ModalRequest& r) {
        ADD_FAILURE() << "unexpected " << kindName(r.kind) << " modal: \"" << r.message << r.title
                      << "\"";
        if (r.kind == Kind::Window && r.window)
            r.window->hide();
        return ModalAnswer::cancel();
    });
}

ModalScript::~ModalScript()
{
    InstallUnexpectedModalHandler();
    EXPECT_TRUE(mSteps.empty()) << mSteps.size() << " expected modal(s) never came, the first a "
                                << (mSteps.empty() ? "" : kindName(mSteps.front().first));
}

ModalScript& ModalScript::expect(Kind kind, Step step)
{
    mSteps.emplace_back(kind, std::move(step));
    return *this;
}

ModalScript& ModalScript::message(std::string text)
{
    return expect(Kind::Message, [text](const ModalRequest& r) {
        if (!text.empty()) {
            EXPECT_EQ(r.message, text);
        }
        return ModalAnswer::ok();
    });
}

ModalScript& ModalScript::question(int button)
{
    return expect(Kind::Question,
                  [button](const ModalRequest&) { return ModalAnswer::button(button); });
}

ModalScript& ModalScript::openFile(std::string path)
{
    return expect(Kind::OpenFile, [path](const ModalRequest&) { return ModalAnswer::file(path); });
}

ModalScript& ModalScript::saveFile(std::string path)
{
    return expect(Kind::SaveFile, [path](const ModalRequest&) { return ModalAnswer::file(path); });
}

ModalScript& ModalScript::cancel(Kind kind)
{
    return expect(kind, [](const ModalRequest&) { return ModalAnswer::cancel(); });
}

ModalScript& ModalScript::window(std::function<void(platform::Window&)> work)
{
    return expect(Kind::Window, [work](const ModalRequest& r) {
        work(*r.window);
        return ModalAnswer::ok();
    });
}

std::vector<std::string> ModalScript::messages() const
{
    std::vector<std::string> out;
    for (const ModalRequest& r : mSeen)
        if (r.kind == Kind::Message)
            out.push_back(r.message);
    return out;
}

ModalAnswer ModalScript::answer(const ModalRequest& request)
{
    mSeen.push_back(request);
    if (mSteps.empty()) {
        ADD_FAILURE() << "unexpected " << kindName(request.kind) << " modal: \"" << request.message
                      << request.title << "\"";
        return ModalAnswer::cancel();
    }
    auto [kind, step] = std::move(mSteps.front());
    mSteps.pop_front();
    if (kind != request.kind) {
        ADD_FAILURE() << "expected a " << kindName(kind) << " modal, got a "
                      << kindName(request.kind) << ": \"" << request.message << request.title
                      << "\"";
        return ModalAnswer::cancel();
    }
    return step(request);
}

} // namespace testsupport
