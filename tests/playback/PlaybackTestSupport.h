#pragma once

#include <QDateTime>

#include <gtest/gtest.h>

// An arbitrary fixed instant that the tests count from.
inline QDateTime t0()
{
    return QDateTime(QDate(2024, 3, 1), QTime(12, 0), Qt::UTC);
}

inline QDateTime at(double seconds)
{
    return t0().addMSecs(qint64(seconds * 1000));
}
