// Times what an update does with its firmware file on the GUI thread: open
// it, take the image information, count the sectors.
#include "firmware/files/HEX32FirmwareFileManager.h"
#include "firmware/files/HEXFirmwareFileManager.h"
#include "firmware/files/MCSVivadoFirmwareFileManager.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_readers mcs|hex32|hex FILE [RUNS]\n");
        return 2;
    }
    const QByteArray kind = argv[1];
    const QString file = QString::fromLocal8Bit(argv[2]);
    const int runs = argc > 3 ? std::max(1, atoi(argv[3])) : 7;
    std::unique_ptr<FirmwareFileManager> reader;
    if (kind == "mcs")
        reader = std::make_unique<MCSVivadoFirmwareFileManager>();
    else if (kind == "hex32")
        reader = std::make_unique<HEX32FirmwareFileManager>();
    else
        reader = std::make_unique<HEXFirmwareFileManager>();

    std::vector<double> seconds;
    FirmwareImageInformation info;
    quint32 sectors = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        if (!reader->openFile(file)) {
            std::fprintf(stderr, "refused: %s\n", qPrintable(reader->errorString()));
            return 1;
        }
        info = reader->getImageInformation();
        sectors = reader->countSectors();
        seconds.push_back(double(clock.nsecsElapsed()) / 1e9);
        reader->closeFile();
    }
    std::sort(seconds.begin(), seconds.end());
    // One line for bench/run: median and fastest seconds, then the results.
    std::printf("%.6f %.6f start=0x%X length=%u crc=0x%04X sectors=%u\n", seconds[seconds.size() / 2], seconds.front(),
                info.startAddress, info.length, info.crc, sectors);
    return 0;
}
