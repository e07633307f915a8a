#include "Fixes.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <set>
#include <string_view>
#include <unordered_map>

#include "Commands.h"
#include "Ini.h"
#include "Json.h"
#include "SettingsFileIo.h"
#include "Stored.h"
#include "Values.h"

namespace jkn {

using nlohmann::json;
using trasso::ini::LineView;

std::string fixText(const Fix& fix) {
  std::string text = fix.label.empty() ? "" : fix.label + ": ";
  for (size_t i = 0; i < fix.steps.size(); ++i) text += (i ? "; then " : "") + fix.steps[i].text;
  return text;
}

namespace {

json editJson(const Edit& e) {
  static const char* const kOps[] = {"set-key",      "remove-key",     "delete-line",
                                     "replace-line", "delete-section", "re-encode",
                                     "remove-file",  "clear-leftover", "move-file"};
  json j{{"op", kOps[e.kind]}, {"file", shownPath(e.file)}};
  if (e.kind <= Edit::DeleteSection) {
    j["section"] = e.section ? out::name(*e.section) : json(nullptr);
  }
  if (e.kind == Edit::SetKey || e.kind == Edit::RemoveKey) j["key"] = out::name(e.key);
  if (e.kind == Edit::DeleteLine || e.kind == Edit::ReplaceLine) j["line"] = out::name(e.line);
  if (e.kind == Edit::SetKey || e.kind == Edit::ReplaceLine) j["to"] = out::name(e.text);
  if (e.kind == Edit::ReEncode) j["from"] = e.text;
  if (e.kind == Edit::MoveFile) j["to"] = shownPath(e.text);
  if (e.kind == Edit::DeleteLine || e.kind == Edit::DeleteSection) j["keep_read"] = e.keepRead;
  if (e.kind == Edit::DeleteLine) j["drop_empty_section"] = e.dropEmptySection;
  return j;
}

}  // namespace

json stepJson(const Step& step) {
  if (!step.argv.empty()) return json{{"argv", step.argv}};
  if (step.edits.empty()) return json{{"by_hand", true}};  // the fix's text says what
  return json{{"edit", editJson(step.edits.front())}};
}

json fixJson(const Fix& fix) {
  json steps = json::array();
  for (const Step& s : fix.steps) steps.push_back(stepJson(s));
  return json{{"text", fixText(fix)}, {"steps", steps}};
}

FileLayout::FileLayout(std::string_view file) {
  std::set<std::string> sections, keys;
  size_t pos = 0;
  LineView v;
  while (trasso::ini::nextLine(file, pos, v)) {
    const size_t begin = static_cast<size_t>(v.text.data() - file.data());
    if (v.kind == LineView::Section) {
      if (!blocks.empty()) blocks.back().end = lines.size();
      const bool read = sections.insert(trasso::ini::foldedName(v.name)).second;
      blocks.push_back(Block{std::string(v.name), read, lines.size(), 0});
      keys.clear();
    }
    const int block = static_cast<int>(blocks.size()) - 1;
    const bool readKey = v.kind == LineView::Key && block >= 0 && blocks[block].read &&
                         keys.insert(trasso::ini::foldedName(v.name)).second;
    lines.push_back(Line{v, begin, pos, block, readKey});
  }
  if (!blocks.empty()) blocks.back().end = lines.size();
}

bool FileLayout::inScope(const Line& l, const std::optional<std::string>& section) const {
  if (!section) return l.block < 0;
  return l.block >= 0 && trasso::ini::sameName(blocks[l.block].name, *section);
}

std::pair<size_t, size_t> FileLayout::range(size_t from, size_t to, size_t size) const {
  return {lines[from].begin, to < lines.size() ? lines[to].begin : size};
}

const FileLayout::Line* FileLayout::readLine(std::string_view section, std::string_view key) const {
  for (const Line& l : lines) {
    if (l.readKey && trasso::ini::sameName(blocks[l.block].name, section) &&
        trasso::ini::sameName(l.view.name, key)) {
      return &l;
    }
  }
  return nullptr;
}

namespace {

// Erases byte ranges (which may overlap) from the back.
void erase(std::string& contents, std::vector<std::pair<size_t, size_t>> ranges) {
  std::sort(ranges.begin(), ranges.end());
  std::vector<std::pair<size_t, size_t>> merged;
  for (const auto& r : ranges) {
    if (!merged.empty() && r.first <= merged.back().second) {
      merged.back().second = std::max(merged.back().second, r.second);
    } else {
      merged.push_back(r);
    }
  }
  for (auto it = merged.rbegin(); it != merged.rend(); ++it) {
    contents.erase(it->first, it->second - it->first);
  }
}

// Deletes the lines of several DeleteLine edits in one pass over the file:
// none of them deletes a line another would keep, so one pass comes to what
// they make one after the other. Whether each found a line goes to found.
void deleteLines(const std::vector<const Edit*>& edits, std::string& contents,
                 std::vector<bool>& found) {
  const FileLayout layout(contents);
  std::vector<std::pair<size_t, size_t>> ranges;
  std::map<int, bool> dropEmpty;  // sections lines went from: whether they go when emptied
  std::vector<bool> gone(layout.lines.size(), false);
  std::unordered_map<std::string_view, std::vector<size_t>> byText;
  for (size_t k = 0; k < edits.size(); ++k) byText[edits[k]->line].push_back(k);
  found.assign(edits.size(), false);
  for (size_t i = 0; i < layout.lines.size(); ++i) {
    const FileLayout::Line& l = layout.lines[i];
    const auto it = byText.find(l.view.text);
    if (it == byText.end()) continue;
    for (const size_t k : it->second) {
      const Edit& e = *edits[k];
      if (!layout.inScope(l, e.section) || (e.keepRead && l.readKey)) continue;
      found[k] = true;
      if (!gone[i]) ranges.emplace_back(l.begin, l.next);
      gone[i] = true;
      dropEmpty[l.block] = dropEmpty[l.block] || e.dropEmptySection;
    }
  }
  for (const auto& [b, drop] : dropEmpty) {
    if (!drop || b < 0) continue;
    const FileLayout::Block& block = layout.blocks[b];
    bool keys = false;
    for (size_t i = block.first + 1; i < block.end; ++i) {
      const LineView& v = layout.lines[i].view;
      keys = keys || (!gone[i] && v.kind == LineView::Key && !isNote(v.name));
    }
    if (!keys) ranges.push_back(layout.range(block.first, block.end, contents.size()));
  }
  erase(contents, ranges);
}

EditOutcome setOrRemoveKey(const Edit& e, std::string& contents) {
  if (e.checked) {
    const FileLayout layout(contents);
    const FileLayout::Line* now = layout.readLine(*e.section, e.key);
    const std::optional<std::string> text =
        now ? std::optional<std::string>(now->view.text) : std::nullopt;
    if (text != e.expect) return EditOutcome::Changed;
  }
  if (e.kind == Edit::RemoveKey) {
    return trasso::ini::removeKey(contents, *e.section, e.key) ? EditOutcome::Done
                                                               : EditOutcome::Gone;
  }
  if (!trasso::ini::isStorableSection(*e.section) || !trasso::ini::isStorableKey(e.key) ||
      !trasso::ini::isStorableValue(e.text)) {
    return EditOutcome::Refused;
  }
  trasso::ini::setValue(contents, *e.section, e.key, e.text);
  return EditOutcome::Done;
}

void appendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string utf16ToUtf8(const std::string& bytes, const std::string& encoding) {
  bool big = encoding == "UTF-16BE";
  size_t i = 0;
  if (encoding == "UTF-16" && bytes.size() >= 2) {
    big = bytes[0] == '\xFE';
    i = 2;
  }
  const auto unit = [&](size_t at) {
    const auto a = static_cast<unsigned char>(bytes[at]);
    const auto b = static_cast<unsigned char>(bytes[at + 1]);
    return static_cast<uint32_t>(big ? (a << 8 | b) : (b << 8 | a));
  };
  std::string out;
  for (; i + 1 < bytes.size(); i += 2) {
    uint32_t c = unit(i);
    if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
        unit(i + 2) < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;  // a lone surrogate: no character code page 932 has
    }
    appendUtf8(out, c);
  }
  return out;
}

EditOutcome applyEdit(const Edit& e, std::string& contents) {
  switch (e.kind) {
    case Edit::SetKey:
    case Edit::RemoveKey:
      return setOrRemoveKey(e, contents);
    case Edit::DeleteLine: {
      std::vector<bool> found;
      deleteLines({&e}, contents, found);
      return found[0] ? EditOutcome::Done : EditOutcome::Gone;
    }
    case Edit::ReplaceLine: {
      const FileLayout layout(contents);
      for (const FileLayout::Line& l : layout.lines) {
        if (layout.inScope(l, e.section) && l.view.text == e.line) {
          contents.replace(l.begin, l.view.text.size(), e.text);
          return EditOutcome::Done;
        }
      }
      return EditOutcome::Gone;
    }
    case Edit::DeleteSection: {
      const FileLayout layout(contents);
      std::vector<std::pair<size_t, size_t>> ranges;
      for (const FileLayout::Block& b : layout.blocks) {
        if (trasso::ini::sameName(b.name, *e.section) && !(e.keepRead && b.read)) {
          ranges.push_back(layout.range(b.first, b.end, contents.size()));
        }
      }
      if (ranges.empty()) return EditOutcome::Gone;
      erase(contents, ranges);
      return EditOutcome::Done;
    }
    case Edit::ReEncode: {
      std::string utf8 = e.text == "UTF-8" ? contents : utf16ToUtf8(contents, e.text);
      if (utf8.rfind("\xEF\xBB\xBF", 0) == 0) utf8.erase(0, 3);  // read as nothing anyway
      const std::optional<std::string> cp932 = toCp932(utf8);
      if (!cp932) return EditOutcome::Refused;
      contents = *cp932;
      return EditOutcome::Done;
    }
    default:
      return EditOutcome::Refused;  // whole files are not edited in place
  }
}

namespace {

struct Job {
  size_t planned;
  size_t step;
  const Edit* edit;
};

const char* outcomeWhy(EditOutcome o) {
  return o == EditOutcome::Changed
             ? "someone else changed the key since it was checked; check again"
             : "the result holds a character code page 932 lacks";
}

// The whole-file steps: removals and moves, each on its own.
void wholeFile(Planned& p, const Edit& e, bool dryRun) {
  const std::string shown = shownPath(e.file);
  if (dryRun) {
    std::cout << (e.kind == Edit::MoveFile ? "would move " + shown + " to " + shownPath(e.text)
                  : e.kind == Edit::ClearLeftover
                      ? "would clear what a stopped write left beside " + shown
                      : "would remove " + shown)
              << "\n";
    return;
  }
  trasso::WriteStatus s = trasso::WriteStatus::Written;
  std::string failedPath = e.file;
  if (e.kind == Edit::ClearLeftover) {
    // A write of the file clears it under the folder's lock, and writes nothing.
    s = trasso::fileio::updateFile(
        e.file, [](std::string&, bool) { return trasso::WriteStatus::Unchanged; });
  } else if (e.kind == Edit::RemoveFile) {
    s = isFolder(e.file) ? (::rmdir(e.file.c_str()) == 0 ? trasso::WriteStatus::Written
                                                         : trasso::WriteStatus::AccessDenied)
                         : trasso::fileio::removeFile(e.file);
  } else {
    std::string bytes;
    if (!trasso::fileio::readFile(e.file, bytes)) {
      p.failed = "cannot read " + shown;
      p.status = kFileError;
      return;
    }
    failedPath = e.text;
    s = trasso::fileio::updateFile(e.text, [&](std::string& contents, bool exists) {
      if (exists) return trasso::WriteStatus::Unchanged;
      contents = bytes;
      return trasso::WriteStatus::Written;
    });
    if (s == trasso::WriteStatus::Unchanged) {
      p.failed = shownPath(e.text) + " exists now: move what you need of " + shown + " by hand";
      p.status = kRefused;
      return;
    }
    if (trasso::succeeded(s)) {
      failedPath = e.file;
      s = trasso::fileio::removeFile(e.file);
    }
  }
  if (!trasso::succeeded(s)) {
    const Failure f = writeFailure(s, failedPath);
    p.failed = f.message;
    p.status = f.status;
  }
}

}  // namespace

void applyFixes(std::vector<Planned>& planned, bool dryRun) {
  std::vector<std::string> order;
  std::map<std::string, std::vector<Job>> jobs;
  std::map<std::string, std::set<std::string>> before;  // files whose steps come first
  for (size_t p = 0; p < planned.size(); ++p) {
    std::vector<std::string> seen;
    for (size_t s = 0; s < planned[p].fix->steps.size(); ++s) {
      for (const Edit& e : planned[p].fix->steps[s].edits) {
        if (!jobs.count(e.file)) order.push_back(e.file);
        jobs[e.file].push_back(Job{p, s, &e});
        for (const std::string& f : seen) {
          if (f != e.file) before[e.file].insert(f);
        }
        seen.push_back(e.file);
      }
    }
  }
  // Steps each fix has carried out, so that a later step never runs without
  // the earlier ones (a key's line never goes before its new home is written).
  std::vector<size_t> reached(planned.size(), 0);
  std::set<std::string> processed;
  while (processed.size() < order.size()) {
    std::string file;
    for (const std::string& f : order) {
      if (processed.count(f)) continue;
      if (file.empty()) file = f;  // none ready (they wait on each other): the first
      const auto& first = before[f];
      if (std::all_of(first.begin(), first.end(), [&](auto& x) { return processed.count(x); })) {
        file = f;
        break;
      }
    }
    processed.insert(file);
    std::vector<Job> content;
    for (const Job& j : jobs[file]) {
      Planned& p = planned[j.planned];
      if (!p.failed.empty()) continue;
      if (reached[j.planned] < j.step) {
        p.failed = "its earlier steps have not been carried out yet; run jkn check --fix again";
        continue;
      }
      if (j.edit->kind >= Edit::RemoveFile) {
        wholeFile(p, *j.edit, dryRun);
        if (p.failed.empty()) reached[j.planned] = j.step + 1;
      } else {
        content.push_back(j);
      }
    }
    if (content.empty()) continue;
    // One locked read-edit-replace of the file as it is now; each fix's edits
    // are made in turn, and one that no longer fits is undone alone.
    std::vector<std::string> failedNow(planned.size());
    std::map<size_t, size_t> jobsOf;  // of each fix in this file
    for (const Job& j : content) ++jobsOf[j.planned];
    const auto edit = [&](std::string& contents) {
      std::map<size_t, std::string> saved;
      for (size_t n = 0; n < content.size();) {
        const Job& j = content[n];
        // A run of deletions, each its fix's only edit here, made in one pass.
        std::vector<const Edit*> run;
        while (n + run.size() < content.size() && jobsOf[content[n + run.size()].planned] == 1 &&
               content[n + run.size()].edit->kind == Edit::DeleteLine) {
          run.push_back(content[n + run.size()].edit);
        }
        if (!run.empty()) {
          std::vector<bool> found;
          deleteLines(run, contents, found);
          n += run.size();
          continue;
        }
        ++n;
        if (!failedNow[j.planned].empty()) continue;
        // A fix's edits go together: one that no longer fits undoes the others.
        if (jobsOf[j.planned] > 1) saved.emplace(j.planned, contents);
        const EditOutcome o = applyEdit(*j.edit, contents);
        if (o == EditOutcome::Changed || o == EditOutcome::Refused) {
          if (jobsOf[j.planned] > 1) contents = saved[j.planned];
          failedNow[j.planned] = outcomeWhy(o);
        }
      }
    };
    trasso::WriteStatus status = trasso::WriteStatus::Written;
    if (dryRun) {
      std::string bytes;
      trasso::fileio::readFile(file, bytes);
      std::string after = bytes;
      edit(after);
      std::cout << unifiedDiff(shownPath(file), bytes, after);
    } else {
      status = trasso::fileio::updateFile(file, [&](std::string& contents, bool) {
        const std::string was = contents;
        edit(contents);
        return contents == was ? trasso::WriteStatus::Unchanged : trasso::WriteStatus::Written;
      });
    }
    const Failure failure = writeFailure(status, file);
    for (const Job& j : content) {
      Planned& p = planned[j.planned];
      if (!p.failed.empty()) continue;
      if (!failedNow[j.planned].empty()) {
        p.failed = failedNow[j.planned];
        p.status = kRefused;
      } else if (!trasso::succeeded(status)) {
        p.failed = failure.message;
        p.status = failure.status;
      } else {
        reached[j.planned] = j.step + 1;
      }
    }
  }
  for (size_t p = 0; p < planned.size(); ++p) {
    planned[p].done = planned[p].failed.empty() && reached[p] == planned[p].fix->steps.size();
  }
}

namespace {

std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> out;
  for (size_t at = 0; at < text.size();) {
    const size_t end = std::min(text.find('\n', at), text.size() - 1) + 1;
    out.push_back(text.substr(at, end - at));
    at = end;
  }
  return out;
}

// The edit script of a to b (Myers): for each line, ' ', '-' or '+'. Past
// kMaxChanges changes the rest is shown as replaced whole.
std::vector<std::pair<char, std::string_view>> script(const std::vector<std::string_view>& a,
                                                      const std::vector<std::string_view>& b) {
  constexpr int kMaxChanges = 2000;
  const int n = static_cast<int>(a.size()), m = static_cast<int>(b.size());
  const int max = std::min(n + m, kMaxChanges);
  std::vector<int> v(2 * static_cast<size_t>(max) + 2, 0);
  std::vector<std::vector<int>> trace;
  const auto at = [&](int k) -> int& {
    return v[static_cast<size_t>(std::ptrdiff_t{k} + max + 1)];
  };
  int found = -1;
  for (int d = 0; d <= max && found < 0; ++d) {
    trace.push_back(v);
    for (int k = -d; k <= d; k += 2) {
      int x = (k == -d || (k != d && at(k - 1) < at(k + 1))) ? at(k + 1) : at(k - 1) + 1;
      int y = x - k;
      while (x < n && y < m && a[x] == b[y]) ++x, ++y;
      at(k) = x;
      if (x >= n && y >= m) {
        found = d;
        break;
      }
    }
  }
  std::vector<std::pair<char, std::string_view>> out;
  if (found < 0) {
    for (const auto& l : a) out.emplace_back('-', l);
    for (const auto& l : b) out.emplace_back('+', l);
    return out;
  }
  int x = n, y = m;
  for (int d = found; d > 0; --d) {
    const std::vector<int>& w = trace[d];
    const auto was = [&](int k) { return w[static_cast<size_t>(std::ptrdiff_t{k} + max + 1)]; };
    const int k = x - y;
    const int prev = (k == -d || (k != d && was(k - 1) < was(k + 1))) ? k + 1 : k - 1;
    const int px = was(prev), py = px - prev;
    while (x > px && y > py) out.emplace_back(' ', a[--x]), --y;
    if (x == px) {
      out.emplace_back('+', b[--y]);
    } else {
      out.emplace_back('-', a[--x]);
    }
  }
  while (x > 0) out.emplace_back(' ', a[--x]);
  std::reverse(out.begin(), out.end());
  return out;
}

std::string shownLine(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return toUtf8(std::string(line));
}

}  // namespace

std::string unifiedDiff(const std::string& name, const std::string& before,
                        const std::string& after) {
  if (before == after) return "";
  const auto ops = script(linesOf(before), linesOf(after));
  constexpr size_t kContext = 3;
  std::string out = "--- " + name + "\n+++ " + name + " (fixed)\n";
  for (size_t i = 0; i < ops.size();) {
    if (ops[i].first == ' ') {
      ++i;
      continue;
    }
    // A hunk: context before, changes joined while fewer than 2 x context apart.
    const size_t start = i >= kContext ? i - kContext : 0;
    size_t last = i;
    for (size_t k = i; k < ops.size() && k - last <= 2 * kContext; ++k) {
      if (ops[k].first != ' ') last = k;
    }
    const size_t end = std::min(ops.size(), last + 1 + kContext);
    size_t lineA = 1, lineB = 1;
    for (size_t k = 0; k < start; ++k) {
      lineA += ops[k].first != '+';
      lineB += ops[k].first != '-';
    }
    size_t countA = 0, countB = 0;
    std::string body;
    for (size_t k = start; k < end; ++k) {
      countA += ops[k].first != '+';
      countB += ops[k].first != '-';
      body += ops[k].first + shownLine(ops[k].second) + "\n";
    }
    out += "@@ -" + std::to_string(countA ? lineA : lineA - 1) + "," + std::to_string(countA) +
           " +" + std::to_string(countB ? lineB : lineB - 1) + "," + std::to_string(countB) +
           " @@\n" + body;
    i = end;
  }
  return out;
}

}  // namespace jkn
