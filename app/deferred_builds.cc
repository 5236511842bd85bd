// The poster and the handler that carry a deferred build through the loop.
#include "app/deferred_builds.h"

#include "files/statements.h"
#include "files/velocore/velocore_driver.h"
#include "ui/program_messages.h"

namespace mxb {

namespace {

bool PostBuild(uint32_t message, kor::FileDescriptor* file) {
  return kor::PostToCurrentWindow(message, reinterpret_cast<uintptr_t>(file));
}

void RunBuild(uintptr_t file) { kor::BUILDevent(reinterpret_cast<kor::FileDescriptor*>(file)); }

}  // namespace

void InitDeferredBuilds(int32_t arg) {
  if (arg == 0) {
    kor::SetProgramMessageHandler(kor::kBuildMessage, &RunBuild);
    kor::SetBuildPoster(&PostBuild);
  } else {
    kor::SetBuildPoster(nullptr);
    kor::SetProgramMessageHandler(kor::kBuildMessage, nullptr);
  }
}

}  // namespace mxb
