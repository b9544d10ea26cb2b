// libpq, loaded the first time a data folder names a database server rather than when the
// program starts: a program on its own files never maps it, nor the TLS, Kerberos and LDAP
// libraries it brings (platform/shared_library.h).
#pragma once

#include <libpq-fe.h>

#include <string>

namespace vx::storage {

// The libpq entries the server store and the data folder's server settings call, typed as the
// header declares them.
struct PqLibrary {
  decltype(&PQconnectdbParams) connectdb_params;
  decltype(&PQfinish) finish;
  decltype(&PQstatus) status;
  decltype(&PQerrorMessage) error_message;
  decltype(&PQsocket) socket;
  decltype(&PQconsumeInput) consume_input;
  decltype(&PQisBusy) is_busy;
  decltype(&PQsetNoticeReceiver) set_notice_receiver;
  decltype(&PQexec) exec;
  decltype(&PQprepare) prepare;
  decltype(&PQexecPrepared) exec_prepared;
  decltype(&PQclear) clear;
  decltype(&PQresultStatus) result_status;
  decltype(&PQresultErrorField) result_error_field;
  decltype(&PQresultErrorMessage) result_error_message;
  decltype(&PQntuples) ntuples;
  decltype(&PQgetvalue) getvalue;
  decltype(&PQgetlength) getlength;
  decltype(&PQgetisnull) getisnull;
  decltype(&PQcmdStatus) cmd_status;
  decltype(&PQcmdTuples) cmd_tuples;
  decltype(&PQconninfoParse) conninfo_parse;
  decltype(&PQconninfoFree) conninfo_free;
  decltype(&PQfreemem) freemem;
};

// Loads libpq once (later calls answer the same); null when the library or one of its entries
// cannot be found, with `error` (when given) saying which.
const PqLibrary* LoadPqLibrary(std::string* error = nullptr);

}  // namespace vx::storage
