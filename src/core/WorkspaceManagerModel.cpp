#include "core/WorkspaceManagerModel.h"

#include "core/ListBoxRules.h"
#include "core/Separators.h"

#include <algorithm>

namespace corvane {

namespace {

constexpr const char *kAddError = "Add error";
constexpr const char *kRenameError = "Rename error";

std::string lowerAscii(std::string text)
{
    for (char &c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string withStartup(const std::string &text, bool startup)
{
    Workspace ws = Workspace::parse(text);
    ws.startup = startup ? 1 : 0;
    return ws.text();
}

} // namespace

WorkspaceManagerModel::WorkspaceManagerModel(WorkspaceMap stored, Workspace capture, bool autoSave)
    : m_workspaces(std::move(stored)), m_capture(std::move(capture)), m_autoSave(autoSave)
{
    m_workspaces.erase(std::string(kDefaultWorkspaceName));
    m_capture.name = std::string(kDefaultWorkspaceName);
    m_capture.startup = 0;
    refill(true);
}

void WorkspaceManagerModel::refill(bool fromStartup)
{
    std::map<std::string, bool> recorded;
    for (const Item &item : m_items)
        recorded.emplace(item.name, item.checked);

    std::vector<std::string> names;
    names.reserve(m_workspaces.size());
    for (const auto &entry : m_workspaces)
        names.push_back(entry.first);
    sortForListBox(names);

    m_items.clear();
    for (std::string &name : names) {
        const auto it = recorded.find(name);
        bool checked = false;
        if (it != recorded.end())
            checked = it->second;
        else if (fromStartup)
            checked = Workspace::parse(m_workspaces.at(name)).startup != 0;
        m_items.push_back({std::move(name), checked});
    }
    m_selection = -1;
}

void WorkspaceManagerModel::select(int index)
{
    m_selection = index >= 0 && index < int(m_items.size()) ? index : -1;
    if (std::any_of(m_items.begin(), m_items.end(), [](const Item &i) { return i.checked; }))
        m_autoSave = false;
}

void WorkspaceManagerModel::setChecked(int index, bool checked)
{
    if (index < 0 || index >= int(m_items.size()) || m_items[std::size_t(index)].checked == checked)
        return;
    m_selection = -1;
    if (checked) {
        for (Item &item : m_items)
            item.checked = false;
    }
    m_items[std::size_t(index)].checked = checked;
    if (std::any_of(m_items.begin(), m_items.end(), [](const Item &i) { return i.checked; }))
        m_autoSave = false;
}

void WorkspaceManagerModel::setAutoSave(bool on)
{
    m_autoSave = on;
    m_selection = -1;
    if (on) {
        for (Item &item : m_items)
            item.checked = false;
    }
}

std::optional<UserMessage> WorkspaceManagerModel::checkName(const std::string &name, const char *title) const
{
    // A separator byte or a line break would break the stored record.
    if (name.front() == ' ' || findSeparatorByte(name) != std::string::npos
        || name.find_first_of("\r\n") != std::string::npos)
        return UserMessage{"Invalid name entered for workspace.", title, UserMessage::Icon::Stop};
    if (lowerAscii(name) == kDefaultWorkspaceName)
        return UserMessage{"Attempted to use an internal reserved word.", title, UserMessage::Icon::Stop};
    return std::nullopt;
}

void WorkspaceManagerModel::storeCapture(const std::string &name)
{
    m_capture.name = name;
    m_workspaces[name] = m_capture.text();
    m_capture.name = std::string(kDefaultWorkspaceName);
}

std::optional<UserMessage> WorkspaceManagerModel::add(const std::string &name)
{
    if (name.empty())
        return std::nullopt;
    if (auto refusal = checkName(name, kAddError))
        return refusal;
    storeCapture(name);
    refill();
    return std::nullopt;
}

std::string WorkspaceManagerModel::selectedName() const
{
    return m_selection < 0 ? std::string() : m_items[std::size_t(m_selection)].name;
}

void WorkspaceManagerModel::remove()
{
    if (m_selection < 0)
        return;
    m_workspaces.erase(selectedName());
    refill();
}

void WorkspaceManagerModel::replace()
{
    if (m_selection < 0)
        return;
    storeCapture(selectedName());
    refill();
}

void WorkspaceManagerModel::reset()
{
    m_workspaces.clear();
    refill();
}

std::optional<UserMessage> WorkspaceManagerModel::renameRefusal() const
{
    if (m_selection >= 0)
        return std::nullopt;
    return UserMessage{"Please click on a selection to change its name.", "Rename alert",
                       UserMessage::Icon::Information};
}

void WorkspaceManagerModel::writeChecks()
{
    for (const Item &item : m_items)
        m_workspaces[item.name] = withStartup(m_workspaces[item.name], item.checked);
}

std::optional<UserMessage> WorkspaceManagerModel::rename(const std::string &newName)
{
    if (auto refusal = renameRefusal())
        return refusal;
    if (newName.empty())
        return std::nullopt;
    if (auto refusal = checkName(newName, kRenameError))
        return refusal;
    if (m_workspaces.count(newName))
        return UserMessage{"Workspace already exists, choose another name.", kRenameError, UserMessage::Icon::Stop};

    writeChecks();
    const std::string oldName = selectedName();
    Workspace ws = Workspace::parse(m_workspaces[oldName]);
    m_workspaces.erase(oldName);
    ws.name = newName;
    m_workspaces[newName] = ws.text();
    refill(true);
    return std::nullopt;
}

WorkspaceManagerModel::Result WorkspaceManagerModel::ok() const
{
    Result result;
    result.workspaces = m_workspaces;
    for (const Item &item : m_items)
        result.workspaces[item.name] = withStartup(m_workspaces.at(item.name), item.checked);
    result.autoSave = m_autoSave;
    if (m_selection >= 0)
        result.toLoad = Workspace::parse(result.workspaces.at(selectedName()));
    return result;
}

} // namespace corvane
