// The data-source menu of the source field: its entries from the machine's drives and volumes,
// and what choosing each kind of source shows in the fields of tab I.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>

#include "tests/app/app_test_suites.h"
#include "tests/app/window_harness.h"
#include "tests/fixtures/boot_sectors.h"

namespace vorthal::testing {
namespace {

// A FAT32 partition image of 8,192 sectors: 32 reserved sectors, 1,000 sectors per FAT, 8 per cluster.
std::vector<std::uint8_t> Fat32Image() {
    std::vector<std::uint8_t> image(std::size_t{8192} * kSectorSize, 0);
    const std::vector<std::uint8_t> boot = fixtures::Fat32BootSector(8, 32, 1000, 8192);
    std::copy(boot.begin(), boot.end(), image.begin());
    return image;
}

struct Fields {
    QString source, begin, end, secs, fileSystem;
    bool freeSpaceChecked, freeSpaceEnabled;
};

} // namespace

class DataSourceMenuTest : public QObject {
    Q_OBJECT

  private:
    WindowHarness window_;
    Fields Shown() {
        return {window_.Find<QLineEdit>("edtDataStr")->text(),
                window_.Find<QLineEdit>("edtbegin")->text(),
                window_.Find<QLineEdit>("edtend")->text(),
                window_.Find<QLineEdit>("edtsecs")->text(),
                window_.Find<QLabel>("label5")->text(),
                window_.Find<QCheckBox>("chkfreespace")->isChecked(),
                window_.Find<QCheckBox>("chkfreespace")->isEnabled()};
    }
    void CompareFields(const Fields& expected) {
        const Fields shown = Shown();
        QCOMPARE(shown.source, expected.source);
        QCOMPARE(shown.begin, expected.begin);
        QCOMPARE(shown.end, expected.end);
        QCOMPARE(shown.secs, expected.secs);
        QCOMPARE(shown.fileSystem, expected.fileSystem);
        QCOMPARE(shown.freeSpaceChecked, expected.freeSpaceChecked);
        QCOMPARE(shown.freeSpaceEnabled, expected.freeSpaceEnabled);
    }

  private slots:
    void init() {
        window_.Open([](TestDevicePlatform& platform) {
            platform.fake.AddDrive({0, "/dev/sda", {0, 2048000}});
            platform.fake.AddDrive({2, "/dev/sdc", {DriveParameters::kRemovableFlag, 2000000}});
            platform.fake.AddVolume({1, "/dev/sda1", "data", "vfat"}, std::int64_t{8192} * 512,
                                    {Fat32Image(), {}, 0});
            platform.fake.AddVolume({2, "/dev/sdc1", "", ""}, 0);
            platform.fake.opener.AddPath("fat32.img", {Fat32Image(), {}, 0});
            platform.fake.opener.AddPath("unreadable.img", {std::vector<std::uint8_t>(4096, 0), {0}, 0});
        });
    }
    void cleanup() { window_.Close(); }

    void menuListsImageDrivesAndVolumes() {
        QStringList captions;
        for (const QAction* entry : window_.Find<QMenu>("pm1")->actions())
            captions << (entry->isSeparator() ? "-" : entry->text());
        QCOMPARE(captions,
                 (QStringList{"打开镜像文件", "-", "本地磁盘 0 (0.98 GB) ", "可移动存储 2 (976.56 MB) ", "-",
                              "逻辑分区 /dev/sda1 [DATA] ", "逻辑分区 /dev/sdc1 [] "}));
    }

    void choosingADriveShowsTheWholeDisk() {
        window_.Find<QAction>("pm1Drive1")->trigger();
        CompareFields({"可移动存储 2 (976.56 MB) ", "0", "2000000", "1", "", false, false});
        QCOMPARE(window_.form->CoreSession().dataSource.devicePath, "/dev/sdc");
    }

    void choosingAVolumeShowsItsClusterArea() {
        window_.Find<QAction>("pm1Volume0")->trigger();
        CompareFields(
            {"/dev/sda1 [DATA]", "2032", QString::number(2032 + 8192 - 1), "8", "FAT32", true, true});
        QVERIFY(window_.dialogs.messages.isEmpty());
    }

    void aVolumeWithoutMediumIsRefused() {
        window_.Find<QAction>("pm1Drive0")->trigger();
        window_.Find<QAction>("pm1Volume1")->trigger();
        QCOMPARE(window_.dialogs.messages.size(), 1);
        QCOMPARE(window_.dialogs.messages[0].text, "分区无效！");
        QCOMPARE(window_.dialogs.messages[0].icon, MessageIcon::Warning);
        CompareFields({"本地磁盘 0 (0.98 GB) ", "0", "2048000", "1", "", false, false});
    }

    void imageAnsweredAsPartitionOrWholeDisk() {
        window_.ChooseImage("fat32.img", true);
        QCOMPARE(window_.dialogs.questions,
                 QStringList{"数据文件类型选择: 此镜像文件是逻辑分区镜像请选是，是整个磁盘镜像请选否"});
        QVERIFY(window_.dialogs.fileDialogTitles == QStringList{"打开镜像文件"});
        CompareFields({"fat32.img", "2032", "8192", "8", "FAT32", true, true}); // the scan ends with the file

        window_.ChooseImage("fat32.img", false);
        CompareFields({"fat32.img", "0", "8192", "1", "", false, false});
        QVERIFY(window_.form->CoreSession().dataSource.sourceChosen);
    }

    void cancelledImageDialogChangesNothing() {
        window_.Find<QAction>("N7")->trigger(); // nothing scripted: the dialog is cancelled
        QCOMPARE(window_.dialogs.fileDialogTitles.size(), 1);
        QVERIFY(window_.dialogs.questions.isEmpty());
        QVERIFY(!window_.form->CoreSession().dataSource.sourceChosen);
        QCOMPARE(window_.Find<QLineEdit>("edtDataStr")->text(),
                 "......右键设置数据源(RIGHT CLICK TO CHOOSE DS )......");
    }

    void unreadableBootSectorOfAPartitionImage() {
        window_.ChooseImage("unreadable.img", true);
        QCOMPARE(window_.Find<QPlainTextEdit>("Memo1")->toPlainText(), "512error 读取sec0");
        QCOMPARE(window_.dialogs.messages.size(), 1);
        QCOMPARE(window_.dialogs.messages[0].text, "取分区信息失败2");
        QCOMPARE(window_.Find<QLineEdit>("edtDataStr")->text(), "unreadable.img");
        QVERIFY(window_.Find<QCheckBox>("chkfreespace")->isEnabled());
        QVERIFY(!window_.Find<QCheckBox>("chkfreespace")->isChecked());
    }
};

} // namespace vorthal::testing

int vorthal::testing::RunDataSourceMenuTests(int argc, char* argv[]) {
    DataSourceMenuTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "data_source_menu_test.moc"
