// data_file_writer PATH: rewrites an offsets file with one more entry ("i" by "Band", 1 s) each time until killed.
#include "lyrics/TrackOffsets.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2)
        return 2;
    TrackOffsets offsets(QString::fromLocal8Bit(argv[1]));
    for (int i = 0;; ++i) {
        offsets.setOffset(NowPlayingTrack{QString::number(i), QStringLiteral("Band"), 200}, 1.0);
        if (i == 0) {
            std::puts("writing");  // the file exists whole from here on
            std::fflush(stdout);
        }
    }
}
