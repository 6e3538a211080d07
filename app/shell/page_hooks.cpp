// The pages' event registrations (see page_hooks.h).
#include "page_hooks.h"

#include <algorithm>
#include <utility>

namespace qx {

PageHooks::Registration::Registration(Registration &&other) noexcept
    : m_hooks(std::exchange(other.m_hooks, nullptr))
    , m_id(std::exchange(other.m_id, 0))
{
}

PageHooks::Registration &PageHooks::Registration::operator=(Registration &&other) noexcept
{
    if (this != &other) {
        reset();
        m_hooks = std::exchange(other.m_hooks, nullptr);
        m_id = std::exchange(other.m_id, 0);
    }
    return *this;
}

void PageHooks::Registration::reset()
{
    if (m_hooks != nullptr)
        m_hooks->remove(m_id);
    m_hooks = nullptr;
    m_id = 0;
}

PageHooks::Registration PageHooks::add(int32_t code, Handler handler)
{
    const uint64_t id = m_nextId++;
    m_entries.push_back({id, code, std::move(handler)});
    return Registration(this, id);
}

void PageHooks::dispatch(int32_t code, const uint8_t *record) const
{
    // by id, since a handler may add or remove registrations
    std::vector<uint64_t> ids;
    for (const Entry &e : m_entries) {
        if (e.code == code)
            ids.push_back(e.id);
    }
    for (uint64_t id : ids) {
        const auto it = std::find_if(m_entries.begin(), m_entries.end(), [id](const Entry &e) { return e.id == id; });
        if (it == m_entries.end())
            continue;
        // a copy: the handler may remove its own entry while it runs
        const Handler handler = it->handler;
        handler(record);
    }
}

std::size_t PageHooks::handlers(int32_t code) const
{
    return std::size_t(std::count_if(m_entries.begin(), m_entries.end(), [code](const Entry &e) { return e.code == code; }));
}

void PageHooks::remove(uint64_t id)
{
    std::erase_if(m_entries, [id](const Entry &e) { return e.id == id; });
}

} // namespace qx
