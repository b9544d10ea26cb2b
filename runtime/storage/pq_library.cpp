#include "runtime/storage/pq_library.h"

#include "platform/shared_library.h"

namespace vx::storage {
namespace {

void Fill(platform::SharedLibrary& library, PqLibrary& pq) {
  library.Entry("PQconnectdbParams", pq.connectdb_params);
  library.Entry("PQfinish", pq.finish);
  library.Entry("PQstatus", pq.status);
  library.Entry("PQerrorMessage", pq.error_message);
  library.Entry("PQsocket", pq.socket);
  library.Entry("PQconsumeInput", pq.consume_input);
  library.Entry("PQisBusy", pq.is_busy);
  library.Entry("PQsetNoticeReceiver", pq.set_notice_receiver);
  library.Entry("PQexec", pq.exec);
  library.Entry("PQprepare", pq.prepare);
  library.Entry("PQexecPrepared", pq.exec_prepared);
  library.Entry("PQclear", pq.clear);
  library.Entry("PQresultStatus", pq.result_status);
  library.Entry("PQresultErrorField", pq.result_error_field);
  library.Entry("PQresultErrorMessage", pq.result_error_message);
  library.Entry("PQntuples", pq.ntuples);
  library.Entry("PQgetvalue", pq.getvalue);
  library.Entry("PQgetlength", pq.getlength);
  library.Entry("PQgetisnull", pq.getisnull);
  library.Entry("PQcmdStatus", pq.cmd_status);
  library.Entry("PQcmdTuples", pq.cmd_tuples);
  library.Entry("PQconninfoParse", pq.conninfo_parse);
  library.Entry("PQconninfoFree", pq.conninfo_free);
  library.Entry("PQfreemem", pq.freemem);
}

}  // namespace

const PqLibrary* LoadPqLibrary(std::string* error) {
  static platform::LazyLibrary<PqLibrary> pq("libpq", {"libpq.so.5"}, Fill);
  return pq.Get(error);
}

}  // namespace vx::storage
