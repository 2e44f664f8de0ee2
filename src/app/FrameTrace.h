#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>

#include <memory>
#include <optional>

// A diagnostic record of every frame the overlays draw, for measuring how closely the drawn
// playhead follows the player: one line per frame, "WALL PLAYHEAD WORDSTART" (wall-clock seconds
// since the Unix epoch, the playhead drawn, the start of the word being sung or "-"). Only made
// when ZUVIK_FRAME_TRACE names a file; nothing else reads it.
class FrameTrace {
public:
    static constexpr char environmentVariable[] = "ZUVIK_FRAME_TRACE";

    // The trace the environment asks for, or none (unset, or the file cannot be opened: logged).
    static std::unique_ptr<FrameTrace> fromEnvironment();
    // Appends to the file; check isOpen().
    explicit FrameTrace(const QString& path);

    bool isOpen() const { return m_file.isOpen(); }
    // Written through at once, so that a measurement that kills the application loses nothing.
    void record(const QDateTime& instant, double playhead, std::optional<double> wordStart);

    static QByteArray line(const QDateTime& instant, double playhead, std::optional<double> wordStart);

private:
    QFile m_file;
};
