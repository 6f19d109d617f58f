#include "archive/store/HeldArchive.h"

#include <exception>
#include <memory>
#include <utility>

#include "archive/format/Directory.h"
#include "archive/format/XcrLayout.h"
#include "archive/os/Failure.h"
#include "archive/os/Folder.h"

namespace xcr {
inline namespace store {

namespace {

std::string folderOf(const std::string& path) {
    const auto cut = path.find_last_of('/');
    return cut == std::string::npos ? "." : (cut == 0 ? "/" : path.substr(0, cut));
}

std::string nameOf(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

}  // namespace

HeldArchive HeldArchive::open(const std::string& path, Access access) {
    HeldArchive held;
    held.path_ = path;
    held.file_ =
        File::open(path, access == Access::Read ? File::Access::Read : File::Access::ReadWrite);
    held.file_.lockExclusively("archive");
    held.writable_ = access == Access::ReadWrite;
    const struct stat opened = held.file_.status();
    held.identity_ = FileIdentity::of(opened);
    // The file itself when the name is a link to it, so that every name that leads to it
    // finds the same journal; the folders on the way need no resolving.
    const std::string own = fileBehindLink(path);
    held.folder_ = ArchiveFolder::open(folderOf(own), path);
    held.name_ = nameOf(own);
    // The name must still lead to the file that was opened: a link retargeted meanwhile
    // would put the journal beside another file.
    const auto named = held.folder_.entry(held.name_);
    if (!named || FileIdentity::of(*named) != held.identity_) {
        throw Failure(cannotOpenText(path, "it was moved or replaced while it was opened"));
    }
    held.journalName_ = held.name_ + "-journal";
    held.journalPath_ = held.folder_.pathOf(held.journalName_);
    return held;
}

HeldArchive HeldArchive::attempt(const std::string& path, Access access) {
    HeldArchive held;
    if (path.empty()) {
        return held;
    }
    try {
        held = open(path, access);
    } catch (const std::exception& failure) {
        held.failure_ = failure.what();
    }
    return held;
}

void HeldArchive::openForWriting() {
    if (writable_) {
        return;
    }
    File writer = file_.reopenForWriting();
    opened_ = std::exchange(file_, std::move(writer));
    writable_ = true;
}

void HeldArchive::close() {
    file_.close();
    opened_.close();
}

std::string HeldArchive::recoverJournal() {
    if (!folder_.entry(journalName_)) {
        return {};
    }
    journal::JournalReader reader(folder_, journalName_, journaled());
    switch (reader.verdict()) {
        case journal::Verdict::Unfinished:
            reader.close();
            folder_.remove(journalName_);
            folder_.sync();
            return {};
        case journal::Verdict::Torn: {
            reader.close();
            const std::string aside = folder_.pathOf(folder_.setAside(journalName_));
            folder_.sync();
            return "The journal " + journalPath_ + " of a save of " + path_ +
                   " was cut off before that save changed the archive, so the archive is as it "
                   "was. The journal was moved to " +
                   aside + "; delete it once you no longer need it.";
        }
        case journal::Verdict::NotOwn:
            return "The file " + journalPath_ + " lies beside the archive " + path_ +
                   " where its journal goes, but it is not this archive's journal (" +
                   reader.why() +
                   "). It was not applied and was left as it is; saving and extracting are "
                   "refused until it is moved away.";
        case journal::Verdict::Damaged:
            throw Failure("The journal " + journalPath_ + " of an interrupted save of " + path_ +
                          " is damaged (" + reader.why() +
                          "), so it was not applied and the archive was not opened. Keep both "
                          "files: the archive may be partly rewritten.");
        case journal::Verdict::Own:
            break;
    }
    try {
        File writer = file_.reopenForWriting();
        reader.restore(writer);
    } catch (const std::exception& failure) {
        throw Failure("The archive " + path_ +
                      " was left half-written by an interrupted save, and putting it back from "
                      "its journal " +
                      journalPath_ + " failed (" + failure.what() +
                      "). The journal stays: open the archive again once that is mended.");
    }
    reader.close();
    folder_.remove(journalName_);
    folder_.sync();
    return "A save of " + path_ +
           " was interrupted. The archive has been put back as it was before that save.";
}

std::string HeldArchive::describeJournal() {
    if (!folder_.entry(journalName_)) {
        return {};
    }
    const journal::JournalReader reader(folder_, journalName_, journaled());
    switch (reader.verdict()) {
        case journal::Verdict::Own:
            return "the journal " + journalPath_ +
                   " of an interrupted save lies beside it; opening the archive puts it back as "
                   "it was before that save";
        case journal::Verdict::Unfinished:
            return "the journal " + journalPath_ +
                   " of a save that stopped before it changed the archive lies beside it; "
                   "opening the archive removes it";
        case journal::Verdict::Torn:
            return "the journal " + journalPath_ +
                   " of a save that stopped before it changed the archive lies beside it, its "
                   "header cut off; opening the archive sets it aside";
        case journal::Verdict::Damaged:
            return "the journal " + journalPath_ +
                   " of an interrupted save lies beside it, and it is damaged (" + reader.why() +
                   "); opening the archive refuses it";
        case journal::Verdict::NotOwn:
            break;
    }
    return journalPath_ + " lies beside it where its journal goes, and is not its journal (" +
           reader.why() + "); it is never applied, and saving and extracting are refused";
}

std::vector<std::string> HeldArchive::otherNamesInFolder() const {
    // A folder that cannot be listed shows no other names.
    const std::vector<std::string> listed = [&] {
        try {
            return folder_.names();
        } catch (const Failure&) {
            return std::vector<std::string>{};
        }
    }();
    std::vector<std::string> names;
    for (const std::string& name : listed) {
        const auto info = name == name_ ? std::nullopt : folder_.entry(name);
        if (info && S_ISREG(info->st_mode) && FileIdentity::of(*info) == identity_) {
            names.push_back(name);
        }
    }
    return names;
}

std::uint64_t HeldArchive::linkCount() const {
    return file_.status().st_nlink;
}

void HeldArchive::refuseIfJournal(const std::string& doing) {
    if (!folder_.entry(journalName_)) {
        return;
    }
    const journal::JournalReader reader(folder_, journalName_, journaled());
    if (reader.verdict() == journal::Verdict::NotOwn) {
        throw Failure("The file " + journalPath_ + " lies beside the archive " + path_ +
                      " where its journal goes, but it is not this archive's journal (" +
                      reader.why() + "). Move it away before " + doing + ".");
    }
    throw Failure("The archive " + path_ + " has the journal of an interrupted save beside it (" +
                  journalPath_ +
                  "). Open the archive again: that puts it back as it was before that save.");
}

void HeldArchive::refuseIfChanged(const EntryTable& entries, const std::string& doing) {
    refuseIfJournal(doing);
    if (countListed(file_) != entries.count() ||
        readFingerprint(file_, entries.count()) != entries.fingerprint()) {
        throw Failure("The archive " + path_ +
                      " was changed by another program since it was opened. Open it again before " +
                      doing + ".");
    }
}

bool HeldArchive::hasShape(const Shape& shape) {
    const std::int64_t born = file_.birthStamp();
    // The header holds the record count; with the length, it fixes how many records the
    // file lists.
    return (shape.born == 0 || born == 0 || shape.born == born) && file_.length() == shape.length &&
           readFingerprint(file_, static_cast<int>(shape.listed)) == shape.directory;
}

bool HeldArchive::holds(std::int64_t position, const DirectoryFingerprint& held) {
    return readFingerprint(file_, position, held.bytes) == held;
}

void HeldArchive::refuseUnsafeSave() {
    const struct stat info = file_.status();
    if (info.st_nlink > 1) {
        throw Failure("Save refused: the archive " + path_ + " has " +
                      std::to_string(info.st_nlink) +
                      " names (hard links), and a save cut off could be put back only through "
                      "the name it was saved through. Save a copy of it under a name of its own "
                      "instead; the archive was left unchanged.");
    }
    if (info.st_size > layout::kMaxValue) {
        throw Failure("Save refused: the archive " + path_ + " is " + std::to_string(info.st_size) +
                      " bytes long, too large for an archive, whose positions end at " +
                      std::to_string(layout::kMaxValue) + "; the archive was left unchanged.");
    }
}

journal::Header HeldArchive::journalHeader() const {
    journal::Header header;
    header.archive = identity_;
    header.archiveName = name_;
    return header;
}

journal::SaveJournal HeldArchive::createJournal() const {
    return journal::SaveJournal::create(folder_, journalName_, journalHeader());
}

bool HeldArchive::isJournalName(const FileIdentity& folder, const std::string& name) const {
    return name == journalName_ && folder == folder_.identity();
}

}  // namespace store
}  // namespace xcr
