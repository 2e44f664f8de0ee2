// Writes settings to the defaults file given as its argument as fast as it can, until killed.
#include "settings/AppSettings.h"
#include "settings/JsonFileDefaultsStore.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    JsonFileDefaultsStore store(QString::fromLocal8Bit(argv[1]));
    AppSettings settings(store);
    // A long value makes every write big enough for a kill to land inside it.
    QSet<quint32> displays;
    for (quint32 id = 0; id < 2000; ++id)
        displays.insert(id);
    for (int i = 0;; ++i) {
        settings.setTextScale(1.0 + (i % 100) / 100.0);
        settings.setDisabledDisplays(displays);
    }
}
