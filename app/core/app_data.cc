// The FILE, KEY and field declarations of the application's data.
#include "app/core/app_data.h"

#include <string.h>

#include "files/dos/dos_driver.h"
#include "files/velocore/velocore_driver.h"

namespace mxb {

namespace {

const kor::FieldDescriptor kAppsFields[] = {
    {.type = kor::kTypeString, .label = "APP:DRIVENPATH", .offset = 0, .size = 80},
    {.type = kor::kTypeString, .label = "APP:APPLICATION", .offset = 80, .size = 50},
    {.type = kor::kTypeShort, .label = "APP:TAG", .offset = 130, .size = 2},
    {.type = kor::kTypeByte, .label = "APP:PRIORITY", .offset = 132, .size = 1, .picture = "@n3"},
    {.type = kor::kTypeEnd},
};
const kor::FieldDescriptor kTempFields[] = {
    {.type = kor::kTypeString, .label = "TMP:APPS", .offset = 0, .size = 40},
    {.type = kor::kTypeLong, .label = "TMP:DATE", .offset = 40, .size = 4, .picture = "@d1"},
    {.type = kor::kTypeLong, .label = "TMP:CLOCK", .offset = 44, .size = 4, .picture = "@t3"},
    {.type = kor::kTypeString, .label = "TMP:EVENT", .offset = 48, .size = 80},
    {.type = kor::kTypeEnd},
};
const kor::FieldDescriptor kTargetFields[] = {{.type = kor::kTypeEnd}};

const int32_t kDriveKeyParts[] = {1, 2};
const int32_t kPriorityKeyParts[] = {4};
const int32_t kClockKeyParts[] = {2, 3};

AppData MakeData() {
  AppData d;
  memset(&d.apps_record, 0, sizeof d.apps_record);
  memset(&d.temp_record, 0, sizeof d.temp_record);
  memset(d.target_name, ' ', sizeof d.target_name);
  return d;
}

AppData g_data = MakeData();
uint8_t g_target_record[1];

kor::KeyDescriptor* g_apps_keys[2];
kor::KeyDescriptor* g_temp_keys[1];

void Declare(AppData& d) {
  d.drive_key = {.label = "APP:DRIVEKEY",
                 .label_length = 12,
                 .attributes = kor::kKeyOpt | kor::kKeyNoCase,
                 .component_count = 2,
                 .components = kDriveKeyParts,
                 .file = &d.apps};
  d.priority_key = {.label = "APP:PRIORITYKEY",
                    .label_length = 15,
                    .attributes = kor::kKeyDup | kor::kKeyNoCase,
                    .component_count = 1,
                    .components = kPriorityKeyParts,
                    .file = &d.apps};
  d.clock_key = {.label = "TMP:CLOCKKEY",
                 .label_length = 12,
                 .attributes = kor::kKeyDup | kor::kKeyOpt | kor::kKeyNoCase,
                 .component_count = 2,
                 .components = kClockKeyParts,
                 .file = &d.temp};
  g_apps_keys[0] = &d.drive_key;
  g_apps_keys[1] = &d.priority_key;
  g_temp_keys[0] = &d.clock_key;
  d.apps = {.driver = &kor::VelocoreDriverEntry,
            .label = "Apps",
            .label_length = 4,
            .driver_name = "VELOCORE",
            .name = "APPS",
            .attributes = kor::kFileCreate,
            .fields = kAppsFields,
            .record = reinterpret_cast<uint8_t*>(&d.apps_record),
            .record_length = sizeof d.apps_record,
            .keys = g_apps_keys,
            .key_count = 2};
  d.temp = {.driver = &kor::VelocoreDriverEntry,
            .label = "TempFile",
            .label_length = 8,
            .driver_name = "VELOCORE",
            .name = "TEMPFILE",
            .attributes = kor::kFileCreate,
            .fields = kTempFields,
            .record = reinterpret_cast<uint8_t*>(&d.temp_record),
            .record_length = sizeof d.temp_record,
            .keys = g_temp_keys,
            .key_count = 1};
  d.target = {.driver = &kor::DosDriverEntry,
              .label = "Target",
              .label_length = 6,
              .driver_name = "DOS",
              .name = d.target_name,
              .name_size = sizeof d.target_name,
              .attributes = kor::kFileCreate,
              .fields = kTargetFields,
              .record = g_target_record,
              .record_length = 0};
}

}  // namespace

AppData& Data() {
  static bool declared = false;
  if (!declared) {
    Declare(g_data);
    declared = true;
  }
  return g_data;
}

void StoreField(char* field, size_t size, std::string_view text) {
  size_t n = text.size() < size ? text.size() : size;
  memcpy(field, text.data(), n);
  memset(field + n, ' ', size - n);
}

void ClearAppData() {
  AppData& d = Data();
  StoreField(d.apps_record.drive_path, sizeof d.apps_record.drive_path, "");
  StoreField(d.apps_record.application, sizeof d.apps_record.application, "");
  d.apps_record.tag = 0;
  d.apps_record.priority = 0;
  StoreField(d.temp_record.apps, sizeof d.temp_record.apps, "");
  d.temp_record.date = 0;
  d.temp_record.clock = 0;
  StoreField(d.temp_record.event, sizeof d.temp_record.event, "");
  StoreField(d.target_name, sizeof d.target_name, "");
}

void SetTargetName(std::string_view name) {
  StoreField(Data().target_name, sizeof Data().target_name, name);
}

}  // namespace mxb
