#include "core/OpenChannel.h"

namespace corvane {

namespace {
constexpr unsigned kOthersWrite = 0022;
constexpr unsigned kOthersAny = 0077;
constexpr unsigned kSticky = 01000;
} // namespace

FolderVerdict judgeChannelFolder(const FolderFacts &facts, unsigned uid)
{
    if (!facts.exists)
        return FolderVerdict::Missing;
    if (facts.isSymbolicLink)
        return FolderVerdict::SymbolicLink;
    if (!facts.isFolder)
        return FolderVerdict::NotAFolder;
    if (facts.owner != uid)
        return FolderVerdict::OtherOwner;
    if ((facts.mode & kOthersWrite) != 0)
        return FolderVerdict::OpenToOthers;
    // Another user who may write in the parent could rename the folder and
    // put one of theirs under its name, unless the parent is sticky (/tmp).
    if ((facts.parentMode & kOthersWrite) != 0 && (facts.parentMode & kSticky) == 0)
        return FolderVerdict::UnsafeParent;
    return (facts.mode & kOthersAny) != 0 ? FolderVerdict::Tighten : FolderVerdict::Private;
}

std::string fallbackChannelFolder(const std::string &tempFolder, unsigned uid)
{
    std::string folder = tempFolder.empty() ? std::string("/tmp") : tempFolder;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (folder != "/")
        folder += '/';
    return folder + "corvane-" + std::to_string(uid);
}

std::string channelOffText(const std::string &folder, FolderVerdict verdict)
{
    std::string reason;
    switch (verdict) {
    case FolderVerdict::Private:
    case FolderVerdict::Tighten:
        return std::string();
    case FolderVerdict::Missing: reason = folder + " cannot be made"; break;
    case FolderVerdict::NotAFolder: reason = folder + " is not a folder"; break;
    case FolderVerdict::SymbolicLink: reason = folder + " is a symbolic link"; break;
    case FolderVerdict::OtherOwner: reason = folder + " belongs to another user"; break;
    case FolderVerdict::OpenToOthers: reason = "other users may write in " + folder; break;
    case FolderVerdict::UnsafeParent: reason = "other users may replace " + folder; break;
    }
    return "The open-request channel is off: " + reason
           + ". An address opened from another program starts a Corvane of its own.";
}

std::vector<std::string> takeChannelCommands(std::string &buffer)
{
    std::vector<std::string> commands;
    std::size_t from = 0;
    for (std::size_t end = buffer.find('\n'); end != std::string::npos; end = buffer.find('\n', from)) {
        commands.push_back(buffer.substr(from, end - from));
        from = end + 1;
    }
    buffer.erase(0, from);
    return commands;
}

} // namespace corvane
