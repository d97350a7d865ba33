#include "engine/auswahl/Laufwerke.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <vector>

namespace lorvane {
namespace {

// One mountinfo line of the kernel's format.
std::string Zeile(int id, const std::string& geraet, const std::string& pfad,
                  const std::string& system, const std::string& quelle,
                  const std::string& optional = "shared:1") {
    return std::to_string(id) + " 1 " + geraet + " / " + pfad + " rw,relatime " + optional + " - " +
           system + " " + quelle + " rw\n";
}

bool Wechselbar(const std::string& quelle) {
    return quelle == "/dev/sdb1" || quelle == "/dev/sr0";
}

TEST(Mountinfo, FieldsAndEscapes) {
    const std::string text = Zeile(21, "8:2", "/", "ext4", "/dev/sda2") +
                             "22 21 0:5 / /proc rw - proc proc rw\n" + // no optional field
                             "kaputt\n" + "23 21 8:17 / /media/Mein\\040Stick rw - vfat " +
                             "/dev/sdb1 rw\n" + "24 21 0:40 / relativ rw - ext4 /dev/x rw\n" +
                             "25 21 x:1 / /a rw - ext4 /dev/x rw";
    const std::vector<TMountEintrag> eintraege = MountinfoLesen(text);
    ASSERT_EQ(eintraege.size(), 3U);
    EXPECT_EQ(eintraege[0], (TMountEintrag{8, 2, "/", "ext4", "/dev/sda2"}));
    EXPECT_EQ(eintraege[1], (TMountEintrag{0, 5, "/proc", "proc", "proc"}));
    EXPECT_EQ(eintraege[2].Pfad, "/media/Mein Stick");
}

TEST(Mountinfo, OctalEscapes) {
    EXPECT_EQ(MountPfadEntschluesseln("/a\\040b\\011c\\012d\\134e"), "/a b\tc\nd\\e");
    // Not an escape: kept as it is.
    EXPECT_EQ(MountPfadEntschluesseln("/a\\9b\\04"), "/a\\9b\\04");
    EXPECT_EQ(MountPfadEntschluesseln("/\\303\\244"), "/\xC3\xA4");
}

TEST(Laufwerke, TypesAndFilterOfTheDriveLevel) {
    const std::string text =
        Zeile(1, "8:2", "/", "ext4", "/dev/sda2") + Zeile(2, "0:5", "/proc", "proc", "proc") +
        Zeile(3, "0:6", "/sys", "sysfs", "sysfs") +
        Zeile(4, "0:7", "/sys/fs/cgroup", "cgroup2", "cgroup2") +
        Zeile(5, "0:8", "/sys/fs/cgroup/cpu", "cgroup", "cgroup") +
        Zeile(6, "0:9", "/dev", "devtmpfs", "udev") +
        Zeile(7, "0:10", "/dev/pts", "devpts", "devpts") +
        Zeile(8, "0:11", "/dev/shm", "tmpfs", "tmpfs") +
        Zeile(9, "0:12", "/run", "tmpfs", "tmpfs") +
        Zeile(10, "0:13", "/run/user/1000", "tmpfs", "tmpfs") +
        Zeile(11, "0:14", "/tmp", "tmpfs", "tmpfs") +
        Zeile(12, "0:15", "/mnt/nas", "nfs4", "server:/export") +
        Zeile(13, "0:16", "/mnt/win", "cifs", "//server/share") +
        Zeile(14, "0:17", "/home/anna/fern", "fuse.sshfs", "anna@host:") +
        Zeile(15, "11:0", "/media/anna/CD\\040Eins", "iso9660", "/dev/sr0") +
        Zeile(16, "8:17", "/media/anna/STICK", "vfat", "/dev/sdb1") +
        Zeile(17, "8:3", "/home", "ext4", "/dev/sda3") +
        Zeile(18, "0:18", "/mnt/ueberlagert", "overlay", "overlay") +
        Zeile(19, "0:19", "/proc/sys/fs/binfmt_misc", "binfmt_misc", "binfmt_misc") +
        Zeile(20, "0:20", "/run/media/anna/KARTE", "exfat", "/dev/sdb1") +
        Zeile(21, "7:1", "/mnt/dvd", "udf", "/dev/loop1") +
        Zeile(22, "0:21", "/mnt/ram", "ramfs", "ramfs");
    const std::vector<TLaufwerk> erwartet = {
        {"/home/anna", "Festplatte"},
        {"/", "Festplatte"},
        {"/home", "Festplatte"},
        {"/home/anna/fern", "Netzlaufwerk"},
        {"/media/anna/CD Eins", "CD/DVD"},
        {"/media/anna/STICK", "Wechseldatentraeger"},
        {"/mnt/dvd", "CD/DVD"},
        {"/mnt/nas", "Netzlaufwerk"},
        {"/mnt/ram", "RAM-Disk"},
        {"/mnt/ueberlagert", "Laufwerk"},
        {"/mnt/win", "Netzlaufwerk"},
        {"/run/media/anna/KARTE", "Wechseldatentraeger"},
        {"/tmp", "RAM-Disk"},
    };
    EXPECT_EQ(LaufwerkeAusMountinfo(text, "/home/anna/", Wechselbar), erwartet);
}

TEST(Laufwerke, HomeTakesTheTypeOfItsMountAndIsListedOnce) {
    const std::string text = Zeile(1, "8:2", "/", "ext4", "/dev/sda2") +
                             Zeile(2, "0:30", "/home/bert", "nfs", "server:/home/bert") +
                             Zeile(3, "0:31", "/home/bertha", "ext4", "/dev/sdc1");
    EXPECT_EQ(LaufwerkeAusMountinfo(text, "/home/bert", Wechselbar),
              (std::vector<TLaufwerk>{{"/home/bert", "Netzlaufwerk"},
                                      {"/", "Festplatte"},
                                      {"/home/bertha", "Festplatte"}}));
    // Without a home folder only the mounts; a later mount over a point hides the first.
    const std::string ueber = text + Zeile(4, "8:33", "/home/bertha", "vfat", "/dev/sdb1");
    EXPECT_EQ(LaufwerkeAusMountinfo(ueber, "", Wechselbar),
              (std::vector<TLaufwerk>{{"/", "Festplatte"},
                                      {"/home/bert", "Netzlaufwerk"},
                                      {"/home/bertha", "Wechseldatentraeger"}}));
}

TEST(Laufwerke, NetworkAndPseudoSystems) {
    for (const char* netz : {"nfs", "nfs4", "cifs", "smb3", "sshfs", "fuse.sshfs", "fuse.rclone",
                             "fuse", "9p", "ceph"}) {
        EXPECT_TRUE(IstNetzDateisystem(netz)) << netz;
    }
    for (const char* lokal : {"ext4", "fuseblk", "vfat", "tmpfs", "fuse.portal", "fusectl"}) {
        EXPECT_FALSE(IstNetzDateisystem(lokal)) << lokal;
    }
    for (const char* pseudo : {"proc", "sysfs", "devtmpfs", "cgroup", "cgroup2", "devpts",
                               "debugfs", "tracefs", "securityfs", "autofs", "mqueue"}) {
        EXPECT_TRUE(IstPseudoDateisystem(pseudo)) << pseudo;
    }
    for (const char* echt : {"ext4", "tmpfs", "nfs", "iso9660", "overlay", "btrfs"}) {
        EXPECT_FALSE(IstPseudoDateisystem(echt)) << echt;
    }
}

TEST(Laufwerke, DisplayNameAndRoots) {
    EXPECT_EQ(LaufwerkAnzeigename({"/media/x", "Wechseldatentraeger"}),
              "/media/x [Wechseldatentraeger]");
    const std::vector<TLaufwerk> laufwerke = {{"/", "Festplatte"}, {"/media/x", "Festplatte"}};
    EXPECT_TRUE(IstLaufwerksWurzel("/", laufwerke));
    EXPECT_TRUE(IstLaufwerksWurzel("/media/x/", laufwerke));
    EXPECT_TRUE(IstLaufwerksWurzel("/media/x", laufwerke));
    EXPECT_FALSE(IstLaufwerksWurzel("/media/X/", laufwerke));
    EXPECT_FALSE(IstLaufwerksWurzel("/media/", laufwerke));
    EXPECT_FALSE(IstLaufwerksWurzel("", laufwerke));
}

TEST(Laufwerke, LetterFunctionsKeepTheirRules) {
    const struct {
        const char* text;
        const char* wurzel;
        const char* buchstabe;
    } faelle[] = {{"c:\\x", "C:\\", "C:"}, {"  d:", "D:\\", ""}, {"E:", "E:\\", "E:"},
                  {"/home", "", ""},       {"x", "", ""},        {"", "", ""},
                  {"1:\\", "1:\\", "1:"},  {" ", "", ""}};
    for (const auto& fall : faelle) {
        EXPECT_EQ(LaufwerkWurzel(fall.text), fall.wurzel) << fall.text;
        EXPECT_EQ(LaufwerkBuchstabe(fall.text), fall.buchstabe) << fall.text;
    }
}

TEST(Laufwerke, AvailablePaths) {
    EXPECT_FALSE(LaufwerkVerfuegbar(""));
    EXPECT_FALSE(LaufwerkVerfuegbar("   "));
    EXPECT_FALSE(LaufwerkVerfuegbar("C:\\Hörbücher\\"));
    EXPECT_TRUE(LaufwerkVerfuegbar("/home/anna/"));
}

TEST(Laufwerke, ThisMachineListsNoKernelFileSystem) {
    const std::vector<TLaufwerk> laufwerke = Laufwerksliste();
    ASSERT_FALSE(laufwerke.empty());
    const char* home = std::getenv("HOME");
    if (home != nullptr && std::filesystem::is_directory(home)) {
        EXPECT_EQ(laufwerke.front().Pfad, OhneSchraegstrich(home));
    }
    for (const TLaufwerk& laufwerk : laufwerke) {
        EXPECT_NE(laufwerk.Pfad, "/proc");
        EXPECT_NE(laufwerk.Pfad.rfind("/sys", 0), 0U) << laufwerk.Pfad;
    }
}

TEST(Laufwerke, PseudoFileSystemsByTypeAndDevice) {
    EXPECT_TRUE(AufPseudoDateisystem("/proc/", {}));
    EXPECT_TRUE(AufPseudoDateisystem("/sys/kernel", {}));
    EXPECT_FALSE(AufPseudoDateisystem("/", {}));
    // By the device numbers of the mount table, as for devtmpfs.
    struct stat info {};
    ASSERT_EQ(::stat("/", &info), 0);
    const std::string text =
        Zeile(1, std::to_string(major(info.st_dev)) + ":" + std::to_string(minor(info.st_dev)),
              "/dev", "devtmpfs", "udev");
    EXPECT_TRUE(AufPseudoDateisystem("/", PseudoGeraete(text)));
}

} // namespace
} // namespace lorvane
