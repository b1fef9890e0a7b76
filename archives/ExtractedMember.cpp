#include "archives/ExtractedMember.h"

#include "dialogs/MessageBox.h"
#include "foundation/SysCalls.h"
#include "panels/PathNames.h"

namespace {

const std::function<void(size_t)> kNothingTaken = [](size_t) {};

}  // namespace

CExtractedMember::~CExtractedMember() {
  if (!m_directory.IsEmpty() && !m_keep) (void)Sys::RemoveTree(m_directory);
}

Westring CExtractedMember::Extract(const Westring& archive, const TArchiverRecord& extractor,
                                   const TMemberName& member, const TArchiverRecord* updater,
                                   const ArchiverRunner& run) {
  if (!m_directory.IsEmpty() && m_member.path.EqualsNoCase(member.path) && Sys::Exists(MemberFile()))
    return MemberFile();
  Finish(archive, run);

  const Westring directory = UniqueTempName();
  if (Sys::MakeDirectory(directory) != 0) {
    MessageBox(Westring("Unable to create temporary directory"), directory, MessageStyle::Ok);
    return Westring();
  }
  int status = RunInDirectory(directory, [&] {
    return RunArchiver(extractor.extract, archive, {member}, extractor, ArchiverMode::Extract, kNothingTaken, run);
  });
  const Westring file = directory + L"/" + member.path;
  // An archiver that ends well without writing the file has failed too.
  TTimeValue time;
  if (status == 0 && Sys::GetModificationTime(file, &time) != 0) status = -1;
  if (status != 0) {
    ReportArchiverFailure("An error occurred extracting", member.path + L" to " + directory, status);
    (void)Sys::RemoveTree(directory);
    return Westring();
  }
  m_directory = directory;
  m_member = member;
  m_updater = updater;
  m_time = time;
  m_keep = false;
  return file;
}

int CExtractedMember::UpdateAfterEdit(const Westring& archive, const ArchiverRunner& run) {
  TTimeValue now;
  if (int err = Sys::GetModificationTime(MemberFile(), &now)) {
    MessageBox(Westring("Error reading file time stamp"), Sys::ErrorText(err), MessageStyle::Ok);
    return 0;  // nothing is left to put back
  }
  if (now == m_time) return 0;
  const int status = m_updater == nullptr ? -1 : RunInDirectory(m_directory, [&] {
    return RunArchiver(m_updater->compress, archive, {m_member}, *m_updater, ArchiverMode::AddOrDelete,
                       kNothingTaken, run);
  });
  if (status != 0) {
    ReportArchiverFailure("An error occurred updating", m_member.path + L" to " + archive, status);
    MessageBox(Westring("The edited file stays in"), MemberFile(), MessageStyle::Ok);
    return status;
  }
  m_time = now;
  return 0;
}

void CExtractedMember::Finish(const Westring& archive, const ArchiverRunner& run) {
  if (m_directory.IsEmpty()) return;
  if (UpdateAfterEdit(archive, run) != 0) m_keep = true;
  if (!m_keep) (void)Sys::RemoveTree(m_directory);
  m_directory = Westring();
  m_member = TMemberName();
}
