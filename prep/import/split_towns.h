// Joins a town that the postal authority split over several consecutive
// rows into one record. The sign of a split is a town name (field 9) that
// opens "（" without closing it; the rows that follow, under the same postal
// code, carry the rest of the name, and their reading either repeats the
// first row's or continues it. Works on converted master fields (CP932).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace prep::import {

struct Row {
  std::vector<std::string> fields;  // master bytes, CP932
  std::string lineEnd;              // "\r\n", "\n", or empty at the file's end
  long lineNumber = 0;              // of the row's first line
};

// True when the CP932 text opens more "（" than it closes "）".
bool OpensParenthesis(std::string_view cp932);

class SplitTownJoiner {
 public:
  // Takes the next row; rows ready to be written are appended to `ready`.
  void Add(Row row, std::vector<Row>& ready);

  // Hands over a town still waiting for its end, as it stands.
  void Finish(std::vector<Row>& ready);

  long townsJoined() const { return townsJoined_; }
  long rowsJoined() const { return rowsJoined_; }  // every row of a joined town
  long townsLeftOpen() const { return townsLeftOpen_; }

 private:
  bool pending_ = false;
  Row town_;                  // the town being joined
  std::string firstReading_;  // its first row's reading
  long rows_ = 0;             // rows taken into it so far
  long townsJoined_ = 0;
  long rowsJoined_ = 0;
  long townsLeftOpen_ = 0;

  void Close(std::vector<Row>& ready);
};

}  // namespace prep::import
