#pragma once

#include <vector>

#include "checklist/CheckList.h"
#include "checklist/InfTokenizer.h"
#include "checklist/LoadObserver.h"

// One load of a list from an opened tokenizer into the list's members, told to the observer.
class CheckListLoader {
 public:
  CheckListLoader(InfTokenizer& tokenizer, CheckList& list, LoadObserver& observer);

  bool Load();

 private:
  Token Next();
  bool ReadSection(int& unknownHeaders);
  template <typename Take>
  void ReadValues(TokenCode section, Take take);
  void SkipValues();
  bool ReadEntries(TokenCode section, std::vector<FileEntry>& entries);
  bool ReadEntry(const Token& name, FileEntry& entry);
  bool Fail(LoadFailure failure, const Token& subject);

  InfTokenizer& tokenizer;
  CheckList& list;
  LoadObserver& observer;
};
