// FileStream: a script file to read, or a file to write, opened under the stand-in's path mapping.
#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "maxscrpt/streams.h"

#include "core/native_path.h"
#include "maxscrpt/excepts.h"
#include "runtime_error.h"

#include <cstring>

#include <sys/stat.h>

FileStream::~FileStream() {
  close();
}

FileStream* FileStream::open(MCHAR* file_name, MCHAR* mode) {
  close();
  name_ = file_name ? file_name : "";
  // Binary mode keeps positions byte-exact for the parser's seek back.
  const char* stdioMode = nullptr;
  if (mode && std::strcmp(mode, "r") == 0) stdioMode = "rb";
  if (mode && std::strcmp(mode, "w") == 0) stdioMode = "wb";
  if (mode && std::strcmp(mode, "a") == 0) stdioMode = "ab";
  if (!stdioMode || name_.empty()) return nullptr;
  file_ = std::fopen(standin::native_path(name_).c_str(), stdioMode);
  // A folder opens for reading here but has nothing to read: it is not a file to open.
  struct stat status;
  if (file_ && (::fstat(::fileno(file_), &status) != 0 || S_ISDIR(status.st_mode))) close();
  return file_ ? this : nullptr;
}

int FileStream::get_char() {
  return file_ ? std::fgetc(file_) : EOF;
}

int FileStream::peek_char() {
  if (!file_) return EOF;
  const int c = std::fgetc(file_);
  if (c != EOF) std::ungetc(c, file_);
  return c;
}

bool FileStream::at_eos() {
  return peek_char() == EOF;
}

long FileStream::position() {
  return file_ ? std::ftell(file_) : 0;
}

void FileStream::seek(long position) {
  if (file_) std::fseek(file_, position, SEEK_SET);
}

void FileStream::putch(char c) {
  if (!file_ || std::fputc(c, file_) == EOF) throw_runtime_error("Cannot write to file: " + name_);
}

void FileStream::puts(const char* text) {
  if (!file_ || std::fputs(text, file_) == EOF)
    throw_runtime_error("Cannot write to file: " + name_);
}

void FileStream::close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

void FileStream::sprin1(CharStream* stream) {
  stream->puts("<File:");
  stream->puts(name_.c_str());
  stream->puts(">");
}
