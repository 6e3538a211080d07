// PageHooks: where the module pages receive what the module sent. Each area
// registers a handler for the event codes it owns and decodes the record
// itself; the shell calls the handlers on the window thread, in the order the
// events came and, for one code, in the order of registration, only while a
// port object exists. The record is valid during the call only.
//
// A registration lives as long as the Registration it returns (a page keeps
// it as a member): when the page goes, its handler goes with it, and only
// its own, so a replacement page's handlers stay.
//
// Pages also subscribe to AppMain::portClosed to stop their polling and their
// own timers.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace qx {

class PageHooks
{
public:
    using Handler = std::function<void(const uint8_t *record)>;

    class Registration
    {
    public:
        Registration() = default;
        Registration(Registration &&other) noexcept;
        Registration &operator=(Registration &&other) noexcept;
        Registration(const Registration &) = delete;
        Registration &operator=(const Registration &) = delete;
        ~Registration() { reset(); }

        // Removes the handler now.
        void reset();

    private:
        friend class PageHooks;
        Registration(PageHooks *hooks, uint64_t id)
            : m_hooks(hooks)
            , m_id(id)
        {
        }

        PageHooks *m_hooks = nullptr;
        uint64_t m_id = 0;
    };

    PageHooks() = default;
    PageHooks(const PageHooks &) = delete;
    PageHooks &operator=(const PageHooks &) = delete;

    [[nodiscard]] Registration add(int32_t code, Handler handler);
    // Hands `record` to every handler of `code`. A handler removed by an
    // earlier one of the same event is not called.
    void dispatch(int32_t code, const uint8_t *record) const;
    std::size_t handlers(int32_t code) const;

private:
    struct Entry
    {
        uint64_t id = 0;
        int32_t code = 0;
        Handler handler;
    };

    void remove(uint64_t id);

    std::vector<Entry> m_entries;
    uint64_t m_nextId = 1;
};

} // namespace qx
