// Character streams: the abstract CharStream, text in memory (StringStream) and files (FileStream).
#pragma once

#ifndef STANDIN_MAXSCRPT_H
#error "include maxscrpt/maxscrpt.h first"
#endif

#include <cstdio>
#include <string>

/// A stream of characters that scripts are read from and printed to. Reading streams keep a
/// position that the parser may move back to hand an unused token to the next compile.
class ScripterExport CharStream : public Value {
 public:
  /// The next character, consumed; EOF at the end.
  virtual int get_char();
  /// The next character, not consumed; EOF at the end.
  virtual int peek_char();
  /// True when no character is left to read.
  virtual bool at_eos();
  /// The read position, for `seek`.
  virtual long position();
  /// Moves the read position back to one that `position` gave.
  virtual void seek(long position);
  /// Skips white space (line ends included) and comments ("--" to the line end, "/* ... */").
  void flush_whitespace();

  /// Writes one character. Throws a RuntimeError on a stream that cannot be written.
  virtual void putch(char c);
  /// Writes a text.
  virtual void puts(const char* text);
  /// Writes printf-formatted text; gives the number of characters written.
  int printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  /// Ends the use of the stream (a file is closed); reading then finds the end.
  virtual void close() {}

  /// Compiles and evaluates every expression from the read position to the end (what the
  /// `execute` function does with a string stream) and gives the last result, or ok when there
  /// is no expression. The arguments are not used. Throws the script's MAXScript errors.
  Value* execute_vf(Value** arg_list, int count);

  void sprin1(CharStream* stream) override;
  const char* class_name() const override { return "CharStream"; }

 protected:
  CharStream() = default;
  explicit CharStream(Permanent permanent) : Value(permanent) {}
};

/// A text in memory: reads from its start, and writes append to it.
class ScripterExport StringStream : public CharStream {
 public:
  /// An empty stream.
  StringStream() = default;
  /// A stream over a copy of the text; a null pointer gives an empty stream.
  explicit StringStream(MCHAR* init_string);
  /// An empty stream with room for `ilen` characters.
  explicit StringStream(int ilen);
  /// A stream over a copy of a value's text (its to_string); null gives an empty stream.
  explicit StringStream(Value* init_string);
  /// An empty stream outside the heap, for one that lives on the C++ stack.
  explicit StringStream(Permanent permanent) : CharStream(permanent) {}

  int get_char() override;
  int peek_char() override;
  bool at_eos() override;
  long position() override { return static_cast<long>(read_); }
  void seek(long position) override;
  void putch(char c) override { text_ += c; }
  void puts(const char* text) override;
  void close() override { read_ = text_.size(); }

  /// The whole text written to or given to the stream.
  const char* to_string() override { return text_.c_str(); }
  void sprin1(CharStream* stream) override;
  const char* class_name() const override { return "StringStream"; }

 private:
  std::string text_;
  size_t read_ = 0;
};

/// A file opened for reading ("r") or writing ("w", "a").
class ScripterExport FileStream : public CharStream {
 public:
  FileStream() = default;
  ~FileStream() override;
  /// Opens the file (a Windows name with a drive letter is mapped as the stand-in maps it).
  /// Gives this stream, or null when the file cannot be opened.
  FileStream* open(MCHAR* ifile_name, MCHAR* imode);
  bool is_open() const { return file_ != nullptr; }

  int get_char() override;
  int peek_char() override;
  bool at_eos() override;
  long position() override;
  void seek(long position) override;
  void putch(char c) override;
  void puts(const char* text) override;
  void close() override;

  void sprin1(CharStream* stream) override;
  const char* class_name() const override { return "FileStream"; }

 private:
  std::FILE* file_ = nullptr;
  std::string name_;
};

namespace standin {
/// Test hook: the calling thread's next execute_vf runs its text and then gives null instead of
/// the last result, as an evaluator that has no result for a text may.
ScripterExport void null_result_from_next_execute();
}  // namespace standin
