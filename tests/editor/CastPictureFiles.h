// Picture files and clipboard contents for the main-image, cast and picker tests: JPEGs made
// by libjpeg, BMPs made by Qt, damaged files, all in a temporary folder.
#pragma once

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <cstdlib>
#include <string>
#include <vector>

#include "EditorForms.h"
#include "common/JpegFiles.h"

// A picture whose left half is Left and right half Right.
inline QImage TwoColorImage(int Width, int Height, QRgb Left, QRgb Right) {
    QImage image(Width, Height, QImage::Format_RGB32);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            image.setPixel(x, y, x < Width / 2 ? Left : Right);
    return image;
}

// Image encoded by libjpeg at the highest quality.
inline std::vector<std::uint8_t> EncodeJpeg(const QImage& Image) {
    return EncodeJpegRows(Image.width(), Image.height(), 3, [&](int y, unsigned char* row) {
        for (int x = 0; x < Image.width(); ++x) {
            const QRgb p = Image.pixel(x, y);
            row[x * 3] = static_cast<unsigned char>(qRed(p));
            row[x * 3 + 1] = static_cast<unsigned char>(qGreen(p));
            row[x * 3 + 2] = static_cast<unsigned char>(qBlue(p));
        }
    });
}

// Color is within a JPEG's rounding of Expected.
inline bool NearColor(TColor Color, QRgb Expected, int Tolerance = 4) {
    return std::abs(int(GetRValue(Color)) - qRed(Expected)) <= Tolerance &&
           std::abs(int(GetGValue(Color)) - qGreen(Expected)) <= Tolerance &&
           std::abs(int(GetBValue(Color)) - qBlue(Expected)) <= Tolerance;
}

inline TColor ToColor(QRgb Pixel) {
    return RGB(qRed(Pixel), qGreen(Pixel), qBlue(Pixel));
}

// The editor's windows with a folder for picture files and an empty clipboard.
class PictureFilesTest : public EditorFormsTest {
protected:
    void SetUp() override {
        EditorFormsTest::SetUp();
        ASSERT_TRUE(FFolder.isValid());
        QGuiApplication::clipboard()->clear();
        CreateForms();
        form = MobrelForm;
    }

    // A path in the temporary folder (Name may hold subfolders, which are made).
    std::string PathOf(const std::string& Name) {
        const QString path = FFolder.filePath(QString::fromStdString(Name));
        QDir().mkpath(QFileInfo(path).absolutePath());
        return path.toStdString();
    }

    std::string WriteBytes(const std::string& Name, const std::vector<std::uint8_t>& Bytes) {
        const std::string path = PathOf(Name);
        QFile file(QString::fromStdString(path));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<qint64>(Bytes.size()));
        return path;
    }

    std::string WriteJpeg(const std::string& Name, const QImage& Image) {
        return WriteBytes(Name, EncodeJpeg(Image));
    }

    std::string WriteBmp(const std::string& Name, const QImage& Image) {
        const std::string path = PathOf(Name);
        EXPECT_TRUE(Image.save(QString::fromStdString(path), "BMP"));
        return path;
    }

    // The bytes of a file cut to its first Length.
    std::string Truncate(const std::string& Path, qint64 Length) {
        QFile file(QString::fromStdString(Path));
        EXPECT_TRUE(file.resize(Length));
        return Path;
    }

    std::string Folder() const { return FFolder.path().toStdString() + "/"; }

    TMobrelForm* form = nullptr;

private:
    QTemporaryDir FFolder;
};
