#pragma once
// What the late-bound members of the collections share: a failure inside a
// call made through the meta-object becomes a warning naming the member and
// a null or false result, and an enumerator hands out one entry at a time.

#include <quilObjects/Types.h>

#include <QObject>
#include <functional>
#include <vector>

namespace quil {

void warnLateBound(const char* member, const char* what);

// Runs f, a member reached through the meta-object, and returns its result;
// nothing it throws goes on into Qt: the caller gets fallback and a warning.
template <class R, class F>
R lateCall(const char* member, R fallback, F&& f) noexcept
{
    try {
        return f();
    } catch (const Error& e) {
        warnLateBound(member, e.what());
    } catch (const std::exception& e) {
        warnLateBound(member, e.what());
    } catch (...) {
        warnLateBound(member, "unknown failure");
    }
    return fallback;
}

// For each: the entries as they were when NewEnum was asked for. Every
// entry Next() gives is a new handle the caller owns.
class Enumerator : public QObject {
    Q_OBJECT
public:
    using Make = std::function<QObject*()>;
    explicit Enumerator(std::vector<Make> entries);
    ~Enumerator() override;

    // The next entry, or null after the last.
    Q_INVOKABLE QObject* Next();
    Q_INVOKABLE bool AtEnd() const;
    Q_INVOKABLE void Reset();

private:
    std::vector<Make> entries;
    std::size_t at = 0;
};

template <class Collection>
QObject* enumerate(const Collection& c)
{
    std::vector<Enumerator::Make> v;
    v.reserve(static_cast<std::size_t>(c.Count()));
    for (const auto& e : c)
        v.push_back([e] { return static_cast<QObject*>(e->NewHandle()); });
    return new Enumerator(std::move(v));
}

} // namespace quil
