#include "prep/import/csv_fields.h"

namespace prep::import {

// The quote 0x22 and the comma 0x2C are never the second byte of a CP932
// character, nor part of a multi-byte UTF-8 sequence, so a byte scan is safe
// for both editions.
bool SplitCsvFields(std::string_view line, std::vector<std::string>& fields, std::string& error) {
  fields.clear();
  size_t i = 0;
  for (;;) {
    std::string field;
    if (i < line.size() && line[i] == '"') {
      ++i;
      bool closed = false;
      bool comma = false;
      while (i < line.size()) {
        char c = line[i++];
        if (c != '"') {
          comma = comma || c == ',';
          field += c;
        } else if (i < line.size() && line[i] == '"') {
          field += '"';
          ++i;
        } else {
          closed = true;
          break;
        }
      }
      if (!closed) {
        error = "field " + std::to_string(fields.size() + 1) + " has no closing quote";
        return false;
      }
      if (comma) {
        error = "field " + std::to_string(fields.size() + 1) + " holds a comma, which the master file cannot store";
        return false;
      }
      if (i < line.size() && line[i] != ',') {
        error = "field " + std::to_string(fields.size() + 1) + " goes on after its closing quote";
        return false;
      }
    } else {
      while (i < line.size() && line[i] != ',') {
        if (line[i] == '"') {
          error = "field " + std::to_string(fields.size() + 1) + " holds a stray quote";
          return false;
        }
        field += line[i++];
      }
    }
    fields.push_back(std::move(field));
    if (i >= line.size()) return true;
    ++i;  // the comma
  }
}

}  // namespace prep::import
