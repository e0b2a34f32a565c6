// Cost of reading a 4 MiB firmware file, per container flag combination, beside the cost of its parts
// (SHA-1 over the payload, inflating it, the chained XOR alone) on the same bytes. Throughput is given
// in image bytes per second.
#include "firmware/firmwarechecksum.h"
#include "firmware/firmwarecipher.h"
#include "firmware/firmwareloader.h"
#include "tools/firmwarepacker.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kImageSize = 4 * 1024 * 1024;

// Firmware-like content: code regions of random bytes alternate with padding and tables that compress well.
QByteArray makeImage()
{
    QRandomGenerator generator(2026);
    QByteArray image(kImageSize, '\0');
    for (int i = 0; i < image.size(); ++i) {
        const bool code = (i / 4096) % 2 == 0;
        image[i] = code ? char(generator.bounded(256)) : char((i / 64) & 0x0F);
    }
    return image;
}

const QByteArray& image()
{
    static const QByteArray bytes = makeImage();
    return bytes;
}

struct Fixture
{
    QTemporaryDir dir;
    QString paths[8];
    Fixture()
    {
        FirmwarePacker packer(FirmwareCipher::kBuiltInKey);
        FirmwareInfo info;
        info.firmwareVersion = QStringLiteral("1.0.0");
        info.supportedHardware = QStringList{QStringLiteral("ALL")};
        for (int flags = 0; flags < 8; ++flags) {
            paths[flags] = dir.filePath(QStringLiteral("f%1.firmware").arg(flags));
            QFile file(paths[flags]);
            file.open(QIODevice::WriteOnly);
            file.write(packer.packFirmware(image(), info, quint8(flags)));
        }
    }
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

void BM_LoadFirmware(benchmark::State& state)
{
    const QString path = fixture().paths[state.range(0)];
    for (auto _ : state) {
        FirmwareInfo info;
        const QByteArray loaded = loadFirmware(path, &info, nullptr);
        if (loaded.size() != kImageSize) {
            state.SkipWithError("image lost");
            break;
        }
        benchmark::DoNotOptimize(loaded.constData());
    }
    state.SetBytesProcessed(state.iterations() * kImageSize);
}
BENCHMARK(BM_LoadFirmware)->DenseRange(0, 7)->ArgName("flags")->Unit(benchmark::kMillisecond);

// The JSON text the container carries (Base64 image plus header): what SHA-1, inflate and XOR run over.
QByteArray payload()
{
    FirmwareInfo info;
    return QJsonDocument(FirmwarePacker::firmwareDocument(image(), info)).toJson(QJsonDocument::Compact);
}

void BM_Sha1OfPayload(benchmark::State& state)
{
    const QByteArray text = payload();
    for (auto _ : state) {
        benchmark::DoNotOptimize(QCryptographicHash::hash(text, QCryptographicHash::Sha1).constData());
    }
    state.SetBytesProcessed(state.iterations() * kImageSize);
}
BENCHMARK(BM_Sha1OfPayload)->Unit(benchmark::kMillisecond);

void BM_ChecksumOfPayload(benchmark::State& state)
{
    const QByteArray text = payload();
    const bool qt = state.range(0) == 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(qt ? qChecksum(text.constData(), uint(text.size()))
                                    : containerChecksum(text.constData(), text.size()));
    }
    state.SetLabel(qt ? "qChecksum" : "containerChecksum");
    state.SetBytesProcessed(state.iterations() * kImageSize);
}
BENCHMARK(BM_ChecksumOfPayload)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_InflatePayload(benchmark::State& state)
{
    const QByteArray compressed = qCompress(payload(), 9);
    const bool bounded = state.range(0) == 1;
    for (auto _ : state) {
        QByteArray plain;
        if (bounded) {
            FirmwareCipher::uncompressBounded(compressed, &plain);
        } else {
            plain = qUncompress(compressed);
        }
        benchmark::DoNotOptimize(plain.constData());
    }
    state.SetLabel(bounded ? "bounded inflate" : "qUncompress");
    state.SetBytesProcessed(state.iterations() * kImageSize);
}
BENCHMARK(BM_InflatePayload)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DecipherOnly(benchmark::State& state)
{
    FirmwarePacker packer(FirmwareCipher::kBuiltInKey);
    const QByteArray container = packer.encrypt(payload(), 0);
    FirmwareCipher cipher(FirmwareCipher::kBuiltInKey);
    for (auto _ : state) {
        benchmark::DoNotOptimize(cipher.decrypt(container).constData());
    }
    state.SetBytesProcessed(state.iterations() * kImageSize);
}
BENCHMARK(BM_DecipherOnly)->Unit(benchmark::kMillisecond);

void BM_Base64DecodeImage(benchmark::State& state)
{
    const QByteArray encoded = image().toBase64();
    for (auto _ : state) {
        benchmark::DoNotOptimize(QByteArray::fromBase64(encoded).constData());
    }
    state.SetLabel("QByteArray::fromBase64 (the loader's fallback)");
    state.SetBytesProcessed(state.iterations() * kImageSize);
}
BENCHMARK(BM_Base64DecodeImage)->Unit(benchmark::kMillisecond);

void BM_ParseJson(benchmark::State& state)
{
    const QByteArray text = payload();
    for (auto _ : state) {
        benchmark::DoNotOptimize(QJsonDocument::fromJson(text).object().size());
    }
    state.SetBytesProcessed(state.iterations() * kImageSize);
}
BENCHMARK(BM_ParseJson)->Unit(benchmark::kMillisecond);

} // namespace
