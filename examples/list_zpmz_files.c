/*
 * list_zpmz_files: a complete small host of the VOKR plug-in.
 *
 *   list_zpmz_files PLUGIN URL USER AREA RESULT      (the password in VOKR_PASSWORD)
 *
 * Loads the plug-in (PLUGIN: the path of libvokr.so or vokr.dll), asks the service at URL for
 * the ZPMZ files of surveying result RESULT in cadastral area AREA and prints them, or prints
 * the messages that say why there are none. One operation cycle, as every family runs it:
 * load, ListSizes, allocate the host lists, get, free.
 *
 * Exit status: 0 the service answered with success, 1 it refused or the call failed,
 * 2 usage, loading or memory error.
 *
 * Plain C89 that also compiles as C++, so it builds with whatever compiler a host uses.
 * Host records hold 32-bit pointers: build it for 32-bit x86 (gcc -m32), as the host ABI is.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "vokr.h"

typedef char host_pointers_are_32_bit[sizeof(void *) == sizeof(THostPtr) ? 1 : -1];

/* The exports this host calls. Each pointer type carries the export's calling convention. */
struct Plugin {
  void *library;
  VOKR_PFN_SetConnectInfo SetConnectInfo;
  VOKR_PFN_loadNajdiSouborZPMZ loadNajdiSouborZPMZ;
  VOKR_PFN_getNajdiSouborZPMZ_ListSizes getNajdiSouborZPMZ_ListSizes;
  VOKR_PFN_getNajdiSouborZPMZ getNajdiSouborZPMZ;
  VOKR_PFN_freeNajdiSouborZPMZ freeNajdiSouborZPMZ;
};

/* Looks an export up by its plain name into *pointer (a function pointer of the right type).
 * Copying the address keeps ISO C's object-to-function pointer cast out of the code. */
static int lookup(void *library, const char *name, void *pointer) {
#if defined(_WIN32)
  FARPROC symbol = GetProcAddress((HMODULE)library, name);
#else
  void *symbol = dlsym(library, name);
#endif
  if (!symbol) {
    fprintf(stderr, "the plug-in has no export %s\n", name);
    return 0;
  }
  memcpy(pointer, &symbol, sizeof symbol);
  return 1;
}

static int open_plugin(struct Plugin *p, const char *path) {
#if defined(_WIN32)
  p->library = (void *)LoadLibraryA(path);
#else
  p->library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
#endif
  if (!p->library) {
    fprintf(stderr, "cannot load the plug-in %s\n", path);
    return 0;
  }
  return lookup(p->library, "SetConnectInfo", &p->SetConnectInfo) &&
         lookup(p->library, "loadNajdiSouborZPMZ", &p->loadNajdiSouborZPMZ) &&
         lookup(p->library, "getNajdiSouborZPMZ_ListSizes", &p->getNajdiSouborZPMZ_ListSizes) &&
         lookup(p->library, "getNajdiSouborZPMZ", &p->getNajdiSouborZPMZ) &&
         lookup(p->library, "freeNajdiSouborZPMZ", &p->freeNajdiSouborZPMZ);
}

static void close_plugin(struct Plugin *p) {
#if defined(_WIN32)
  FreeLibrary((HMODULE)p->library);
#else
  dlclose(p->library);
#endif
}

/* Copies text into a host text field of `width` bytes, cut to fit, always zero-terminated. */
static void put_text(char *field, size_t width, const char *text) {
  strncpy(field, text, width - 1);
  field[width - 1] = '\0';
}

/* A host list: `count` zeroed entries of `size` bytes, the signed 32-bit count stored in the
 * four bytes before the first entry. A count below 1 (ListSizes says -1 for an empty list)
 * needs no list: the record keeps a null pointer. *failed is set when memory runs out. */
static void *new_list(int32_t count, size_t size, int *failed) {
  unsigned char *block;
  if (count < 1) return NULL;
  block = (unsigned char *)calloc(1, sizeof count + (size_t)count * size);
  if (!block) {
    *failed = 1;
    return NULL;
  }
  memcpy(block, &count, sizeof count);
  return block + sizeof count;
}

static void free_list(void *first) {
  if (first) free((unsigned char *)first - sizeof(int32_t));
}

/* How a record stores a host list: its first entry's address as 32 bits. */
static THostPtr host_pointer(void *first) { return (THostPtr)(size_t)first; }

static const char *level_name(uint8_t level) {
  switch (level) {
  case VOKR_INFORMACE: return "INFORMACE";
  case VOKR_VAROVANI: return "VAROVANI";
  case VOKR_CHYBA: return "CHYBA";
  default: return "?";
  }
}

/* Every message the service (or the library) sent, and what the flags say about them. */
static void print_messages(const THostMessageBlock *block, const THostMessageRec *messages,
                           int32_t count) {
  int32_t i;
  for (i = 0; i < count; ++i)
    printf("message %s %s: %s\n", messages[i].kod, level_name(messages[i].uroven),
           messages[i].text);
  if (block->callFailure)
    /* Code "1000": nothing usable came back (connection, TLS, time-out, HTTP error, SOAP
     * fault, unreadable answer); the text names the kind of failure first. */
    printf("the call failed\n");
  else if (count > 0 && strcmp(messages[0].kod, VOKR_CODE_NOT_SENT) == 0)
    /* Code "1001": the library refused the input before sending anything. */
    printf("nothing was sent\n");
  else if (!block->success)
    printf("the service refused\n");
}

int main(int argc, char **argv) {
  struct Plugin vokr;
  TConnectInfo connection;
  TNajdiSouborZPMZIn in;
  TNajdiSouborZPMZSizes sizes;
  TNajdiSouborZPMZOut out;
  THostMessageRec *messages;
  TSouborZPMZRec *files;
  const char *password = getenv("VOKR_PASSWORD");
  int out_of_memory = 0;
  int status;
  int32_t i;

  if (argc != 6) {
    fprintf(stderr, "usage: %s PLUGIN URL USER AREA RESULT (password in VOKR_PASSWORD)\n",
            argv[0]);
    return 2;
  }
  if (!open_plugin(&vokr, argv[1])) return 2;

  /* Settings stay with the library until changed; every load reads them afresh. */
  memset(&connection, 0, sizeof connection);
  put_text(connection.URL, sizeof connection.URL, argv[2]); /* "/ws/geo/2.9/geo" is appended */
  put_text(connection.UserName, sizeof connection.UserName, argv[3]);
  put_text(connection.UserPassword, sizeof connection.UserPassword, password ? password : "");
  connection.ConnectTimeout = 15000; /* milliseconds; 0 or less: the library's defaults */
  connection.SendTimeout = 30000;
  connection.ReceiveTimeout = 60000;
  vokr.SetConnectInfo(&connection);

  /* 1. load: sends the request and keeps the answer; returns when it is in or has failed. */
  memset(&in, 0, sizeof in);
  put_text(in.katuzeKod, sizeof in.katuzeKod, argv[4]);
  put_text(in.cisloVysledkuZemCinnosti, sizeof in.cisloVysledkuZemCinnosti, argv[5]);
  vokr.loadNajdiSouborZPMZ(&in);

  /* 2. ListSizes: how many entries each list of the answer has, -1 for none. */
  sizes.MessageCount = -1;
  sizes.souborZPMZList = -1;
  vokr.getNajdiSouborZPMZ_ListSizes(&sizes);

  /* 3. The host's lists, each with its count in front. The messages need a list too: without
   * the success message copied, get copies no results. */
  messages = (THostMessageRec *)new_list(sizes.MessageCount, sizeof *messages, &out_of_memory);
  files = (TSouborZPMZRec *)new_list(sizes.souborZPMZList, sizeof *files, &out_of_memory);
  if (out_of_memory) {
    fprintf(stderr, "out of memory\n");
    status = 2;
  } else {
    /* 4. get: the messages and flags, then (on success only) the results. */
    memset(&out, 0, sizeof out);
    out.zpravy.messages = host_pointer(messages);
    out.souborZPMZList = host_pointer(files);
    vokr.getNajdiSouborZPMZ(&out);

    print_messages(&out.zpravy, messages, sizes.MessageCount);
    if (out.zpravy.success)
      for (i = 0; i < sizes.souborZPMZList; ++i)
        printf("file %s %s (%s bytes)\n", files[i].zpmzDokumentId, files[i].nazevSouboru,
               files[i].velikostSouboru);
    status = out.zpravy.success ? 0 : 1;
  }

  /* 5. free: the library lets go of the answer; the host frees its own lists. */
  vokr.freeNajdiSouborZPMZ();
  free_list(messages);
  free_list(files);
  close_plugin(&vokr);
  return status;
}
