#pragma once

#include <QObject>

#include <functional>

// Receives one player's MPRIS Seeked signal (QtDBus connects signals to named slots only) and
// hands the new position on, in microseconds.
class MprisSeekedRelay : public QObject {
    Q_OBJECT
public:
    explicit MprisSeekedRelay(std::function<void(qlonglong)> onSeeked, QObject* parent = nullptr)
        : QObject(parent)
        , m_onSeeked(std::move(onSeeked))
    {}

public Q_SLOTS:
    void seeked(qlonglong microseconds) { m_onSeeked(microseconds); }

private:
    const std::function<void(qlonglong)> m_onSeeked;
};
