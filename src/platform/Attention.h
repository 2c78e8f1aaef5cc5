#pragma once

#include <functional>
#include <utility>

// Asks the desktop to draw the user's eye to the application (a taskbar entry that flashes).
class Attention
{
public:
    virtual ~Attention() = default;
    virtual void request() = 0;
};

// The core library has no widgets, so the window installs one of these with a callback that
// alerts its main window. Until it does, a request has nothing to flash and does nothing.
class CallbackAttention : public Attention
{
public:
    explicit CallbackAttention(std::function<void()> callback = {})
        : m_callback(std::move(callback))
    {
    }
    void request() override
    {
        if (m_callback)
            m_callback();
    }

private:
    std::function<void()> m_callback;
};
