// Writes one of Zuvik's data files over and over, one more entry each time, until it is killed:
//   data_file_writer offsets|rejected PATH
// Entry i is track "Song i" by "Band", with offset 1 s or rejected candidate id i.
#include "lyrics/RejectedCandidates.h"
#include "lyrics/TrackOffsets.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3)
        return 2;
    const bool offsets = arguments[1] == u"offsets";
    TrackOffsets offsetStore(offsets ? arguments[2] : QString());
    RejectedCandidates rejectedStore(offsets ? QString() : arguments[2]);
    for (int i = 0;; ++i) {
        const NowPlayingTrack track{QStringLiteral("Song %1").arg(i), QStringLiteral("Band"), 200};
        if (offsets)
            offsetStore.setOffset(track, 1.0);
        else
            rejectedStore.reject(track, i);
        if (i == 0) {
            std::puts("writing");  // the file exists whole from here on
            std::fflush(stdout);
        }
    }
}
