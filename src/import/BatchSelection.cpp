#include "import/BatchSelection.h"

#include <cctype>

#include "app/AppContext.h"
#include "app/DateConversions.h"
#include "app/MainView.h"
#include "app/Ui.h"
#include "data/FixedText.h"
#include "data/VantroDM.h"
#include "platform/DosFs.h"

namespace upfold {

namespace {

constexpr const char* kRecs = " recs  ";

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Every "TRIN" of an upper-case name as "DESC".
std::string DescName(std::string name) {
  for (std::size_t at = name.find("TRIN"); at != std::string::npos; at = name.find("TRIN", at + 4))
    name.replace(at, 4, "DESC");
  return name;
}

// Closed, with its index name cleared for the next file it is pointed at.
void CloseAndForget(Table& table) {
  table.Close();
  table.SetIndexName("");
}

}  // namespace

std::string PathOfListLine(const std::string& line) {
  const std::size_t recs = line.rfind(kRecs);
  if (recs == std::string::npos) return line;
  std::size_t start = recs;
  while (start > 0 && std::isdigit(static_cast<unsigned char>(line[start - 1]))) --start;
  if (start < 2 || line.compare(start - 2, 2, "  ") != 0) return line;
  return line.substr(0, start - 2);
}

BatchSelection::BatchSelection(AppContext& ctx, VantroDM& dm, MainView& view,
                               RemoteBatchValues& values)
    : ctx_(ctx), dm_(dm), view_(view), values_(values) {}

void BatchSelection::ComputeInitialDir() {
  RunValues& v = ctx_.values;
  if (!Trim(v.LastRemoteDir).empty()) {
    initialDir_ = v.LastRemoteDir;
    return;
  }
  if (Trim(v.DefaultRemotePath).empty()) v.DefaultRemotePath = v.DataPath;
  initialDir_ = Trim(v.DefaultRemotePath).empty() ? v.DataPath : v.DefaultRemotePath;
}

void BatchSelection::SetValuesFromPath(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  values_.RemoteFileName = name;
  ctx_.values.LastRemoteDir = folder + "\\";
  values_.RemoteDir = folder;
  values_.RemoteDescName = "Desc" + (name.size() > 4 ? name.substr(4, 6) : std::string());
  values_.RemoteDescPath = ctx_.values.LastRemoteDir + DescName(name);
}

bool BatchSelection::FindRemBatch() {
  Ui& ui = ctx_.ui;
  ComputeInitialDir();
  OpenFilesRequest request;
  request.title = "Find Marrowfield remote files";
  request.initialDir = initialDir_;
  request.filter = "Exported batches|Trin??.rme";
  request.multiSelect = true;
  const std::vector<std::string> chosen = ui.OpenFiles(request);
  if (chosen.empty()) {
    view_.SetImportEnabled(true);
    view_.SetProcessBoxVisible(false);
    return false;
  }

  CloseAndForget(dm_.RemoteTB);
  CloseAndForget(dm_.RemoteDescTB);
  ui.HourglassCursor();
  std::vector<std::string> lines;
  view_.SetProcessListLines(lines);
  for (const std::string& file : chosen) {
    std::optional<std::string> line = ExamineFile(file);
    ui.ArrowCursor();
    if (!line) return false;
    lines.push_back(*line);
    view_.SetProcessListLines(lines);
  }
  view_.SetProcessBoxVisible(true);
  view_.SetImportEnabled(false);
  return true;
}

std::optional<std::string> BatchSelection::ExamineFile(const std::string& chosenPath) {
  Ui& ui = ctx_.ui;
  const std::string path = Upper(chosenPath);
  SetValuesFromPath(path);
  const std::string& name = values_.RemoteFileName;
  const std::string extension = name.size() > 6 ? name.substr(6, 4) : std::string();
  if (name.substr(0, 4) != "TRIN" || (extension != ".RME" && extension != ".CM")) {
    ui.Plain(
        "You must choose a Marrowfield Remote file beginning with the letters  'TRIN' and ending "
        "with '.RME'\ror a Marrowfield Case Management batch file beginning with 'Trin' and "
        "ending with '.CM'.");
    return std::nullopt;
  }

  Table& remote = dm_.RemoteTB;
  const auto refuse = [&](const std::string& error, const std::string& what) {
    ui.ArrowCursor();
    ui.Plain(error + "\r\r" + what + "\r(" + chosenPath + ")." + kContactLine);
    remote.Close();
    return std::nullopt;
  };
  CloseAndForget(remote);
  try {
    remote.SetTableName(path + ";RES:RemBatch");
    remote.Open();
  } catch (const TableError& error) {
    return refuse(error.what(), "Unable to open file");
  }
  try {
    remote.SetIndexName("1");
  } catch (const TableError& error) {
    return refuse(error.what(), "Unable to set index 1 to file");
  }

  std::string low, high;
  std::uint64_t count = 0;
  try {
    if (remote.IsEmpty()) {
      remote.Close();
      if (ui.Confirm("This remote batch named  " + path +
                     ", is empty. Do you want to delete it?")) {
        if (!ctx_.fs.DeleteFile(path)) {
          ui.Plain("Unable to delete " + path);
          return std::nullopt;
        }
        ctx_.fs.DeleteFile(values_.RemoteDescPath);
      }
      ui.ArrowCursor();
      return std::nullopt;
    }
    if (remote.AsString("Unassigned2").substr(0, 3) != "+++") {
      ui.Plain("This batch is not a valid Marrowfield Windows remote batch.");
      ui.ArrowCursor();
      remote.Close();
      return std::nullopt;
    }
    for (remote.First(); !remote.Eof(); remote.Next()) {
      const std::string date = remote.AsString("StringTransDate");
      if (count == 0 || date < low) low = date;
      if (count == 0 || date > high) high = date;
      ++count;
    }
  } catch (const TableError& error) {
    return refuse(error.what(), "Unable to read file");
  }
  values_.SelectedBatchRecordCount = count;
  remote.Close();

  if (!ctx_.fs.FileExists(values_.RemoteDescPath)) {
    if (!ui.Confirm("The description file (" + values_.RemoteDescPath +
                    " for the remote batch is missing.\rIf you continue to process this batch, "
                    "NONE of the transactions will have descriptions.\rIs this okay?")) {
      ui.ArrowCursor();
      return std::nullopt;
    }
    if (!CreateRemDesc() || !OpenRemDesc()) return std::nullopt;
  }
  ui.ArrowCursor();
  dm_.RemoteDescTB.Close();
  return path + "  " + std::to_string(count) + kRecs +
         FileDateToShortDisplayDate(low, false, ctx_.formats, ui) + " - " +
         FileDateToShortDisplayDate(high, false, ctx_.formats, ui);
}

bool BatchSelection::CreateRemDesc() {
  const std::string templ = ctx_.values.PgmDir + "\\Remdesc.clo";
  if (!ctx_.fs.FileExists(templ)) {
    ctx_.ui.Plain("The file " + templ + " is missing." + kContactLine);
    return false;
  }
  if (!ctx_.fs.CopyFile(templ, values_.RemoteDescPath, true)) {
    ctx_.ui.Plain("The file  " + values_.RemoteDescPath + "  cannot be created at this time." +
                  kContactLine);
    return false;
  }
  return true;
}

bool BatchSelection::OpenRemDesc() {
  Table& desc = dm_.RemoteDescTB;
  try {
    CloseAndForget(desc);
    desc.SetTableName(values_.RemoteDescPath + ";RES:RemBatchD");
    desc.Open();
    return true;
  } catch (const TableError& error) {
    ctx_.ui.ArrowCursor();
    ctx_.ui.Plain(std::string(error.what()) + "\r\rUnable to open file (" + values_.RemoteDescPath +
                  ".)");
    return false;
  }
}

void BatchSelection::CancelProcessBBClick() {
  view_.SetProcessBoxVisible(false);
  view_.SetImportEnabled(true);
  initialDir_ = ctx_.values.DefaultRemotePath;
}

void BatchSelection::ListBox1DblClick() {
  const int row = view_.ProcessListCurrentRow();
  std::vector<std::string> lines = view_.ProcessListLines();
  if (row < 0 || row >= static_cast<int>(lines.size())) return;
  if (!ctx_.ui.Confirm("Delete this file from list?")) return;
  lines.erase(lines.begin() + row);
  view_.SetProcessListLines(lines);
}

}  // namespace upfold
