#include "runtime/lzhuf.h"

#include <array>
#include <bit>
#include <cstring>

// The 1988 LZHUF scheme: LZSS with a binary search tree over a 4096-byte ring
// buffer, whose literals and match lengths are coded by an adaptive Huffman
// tree and whose match positions are coded by a fixed table for the upper 6
// bits followed by the lower 6 bits plain. All tables are fixed-size globals.

namespace {
constexpr int N = 4096;                      // ring buffer size
constexpr int F = 60;                        // look-ahead, longest match
constexpr int THRESHOLD = 2;                 // matches longer than this are coded
constexpr int NIL = N;                       // no node in the search trees
constexpr int N_CHAR = 256 - THRESHOLD + F;  // 314 codes: literals and match lengths
constexpr int T = N_CHAR * 2 - 1;            // 627 nodes of the Huffman tree
constexpr int R = T - 1;                     // its root
constexpr unsigned MAX_FREQ = 0x8000;        // the tree is rebuilt at this root count
static_assert(std::endian::native == std::endian::little, "the match search compares words");

// Upper 6 bits of a match position: code lengths and codes (left-aligned in a byte).
constexpr std::array<uint8_t, 64> p_len = {
    3, 4, 4, 4, 5, 5, 5, 5, 5, 5, 5, 5, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6,
    6, 6, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
    7, 7, 7, 7, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8};
constexpr std::array<uint8_t, 64> p_code = {
    0x00, 0x20, 0x30, 0x40, 0x50, 0x58, 0x60, 0x68, 0x70, 0x78, 0x80, 0x88, 0x90, 0x94, 0x98, 0x9C,
    0xA0, 0xA4, 0xA8, 0xAC, 0xB0, 0xB4, 0xB8, 0xBC, 0xC0, 0xC2, 0xC4, 0xC6, 0xC8, 0xCA, 0xCC, 0xCE,
    0xD0, 0xD2, 0xD4, 0xD6, 0xD8, 0xDA, 0xDC, 0xDE, 0xE0, 0xE2, 0xE4, 0xE6, 0xE8, 0xEA, 0xEC, 0xEE,
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF};

// The decoding tables: for every first byte of a position code, the upper
// 6 bits it stands for and the length of its code. Derived from the two above.
struct DecodeTables {
  std::array<uint8_t, 256> code{};
  std::array<uint8_t, 256> len{};
};
constexpr DecodeTables makedecodetables() {
  DecodeTables t{};
  for (int i = 0; i < 64; i++) {
    int span = 1 << (8 - p_len[i]);
    for (int b = 0; b < span; b++) {
      t.code[p_code[i] + b] = uint8_t(i);
      t.len[p_code[i] + b] = p_len[i];
    }
  }
  return t;
}
constexpr DecodeTables dtab = makedecodetables();
static_assert(dtab.len[0x00] == 3 && dtab.code[0x1F] == 0 && dtab.code[0x20] == 1 && dtab.code[0xFF] == 63);

// Ring buffer (with F - 1 mirrored bytes for the match search, and 8 bytes
// of slack for the word-wise compare) and search trees.
uint8_t text_buf[N + F - 1 + 8];
int lsons[N + 1], rsons[N + 257], dad[N + 1];
inline int& lson(int p) { return lsons[p]; }
inline int& rson(int p) { return rsons[p]; }
int match_position, match_length;

// Adaptive Huffman tree: frequencies (with a sentinel at T), parents of nodes
// and leaves (leaf c is T + c), and the first child of every inner node.
unsigned freq[T + 1];
int prnt[T + N_CHAR];
int son[T];

void starthuff() {
  for (int i = 0; i < N_CHAR; i++) {
    freq[i] = 1;
    son[i] = i + T;
    prnt[i + T] = i;
  }
  for (int i = 0, j = N_CHAR; j <= R; i += 2, j++) {
    freq[j] = freq[i] + freq[i + 1];
    son[j] = i;
    prnt[i] = prnt[i + 1] = j;
  }
  freq[T] = 0xFFFF;
  prnt[R] = 0;
}

// Rebuilds the tree with halved frequencies once the root reaches MAX_FREQ.
void reconst() {
  int j = 0;
  for (int i = 0; i < T; i++) {
    if (son[i] >= T) {
      freq[j] = (freq[i] + 1) / 2;
      son[j] = son[i];
      j++;
    }
  }
  for (int i = 0, j2 = N_CHAR; j2 < T; i += 2, j2++) {
    unsigned f = freq[j2] = freq[i] + freq[i + 1];
    int k = j2 - 1;
    while (f < freq[k]) k--;
    k++;
    int count = j2 - k;
    memmove(&freq[k + 1], &freq[k], sizeof freq[0] * size_t(count));
    freq[k] = f;
    memmove(&son[k + 1], &son[k], sizeof son[0] * size_t(count));
    son[k] = i;
  }
  for (int i = 0; i < T; i++) {
    int k = son[i];
    if (k >= T) prnt[k] = i;
    else prnt[k] = prnt[k + 1] = i;
  }
}

// Counts one more occurrence of code c and restores the sibling order.
void update(int c) {
  if (freq[R] == MAX_FREQ) reconst();
  c = prnt[c + T];
  do {
    unsigned k = ++freq[c];
    int l = c + 1;
    if (k > freq[l]) {
      // The frequencies are sorted, so the last node below k is found by
      // galloping and then halving (runs of equal counts can be long).
      int lo = l, hi = l + 1, step = 1;
      while (freq[hi] < k) {
        lo = hi;
        step <<= 1;
        hi = lo + step;
        if (hi >= T) {
          hi = T;   // the sentinel freq[T] is above every count
          break;
        }
      }
      while (hi - lo > 1) {
        int mid = (lo + hi) / 2;
        if (freq[mid] < k) lo = mid;
        else hi = mid;
      }
      l = lo;
      freq[c] = freq[l];
      freq[l] = k;
      int i = son[c];
      prnt[i] = l;
      if (i < T) prnt[i + 1] = l;
      int j = son[l];
      son[l] = i;
      prnt[j] = c;
      if (j < T) prnt[j + 1] = c;
      son[c] = j;
      c = l;
    }
  } while ((c = prnt[c]) != 0);
}

// ---- Match search (binary trees keyed by the bytes at each ring position) ----

void inittree() {
  for (int i = N + 1; i <= N + 256; i++) rson(i) = NIL;
  for (int i = 0; i < N; i++) dad[i] = NIL;
}

void insertnode(int r) {
  int cmp = 1;
  const uint8_t* key = &text_buf[r];
  int p = N + 1 + key[0];
  rson(r) = lson(r) = NIL;
  match_length = 0;
  for (;;) {
    if (cmp >= 0) {
      if (rson(p) == NIL) {
        rson(p) = r;
        dad[r] = p;
        return;
      }
      p = rson(p);
    } else {
      if (lson(p) == NIL) {
        lson(p) = r;
        dad[r] = p;
        return;
      }
      p = lson(p);
    }
    // The first differing byte among 1..F-1, found eight bytes at a time.
    int i = 1;
    for (;;) {
      uint64_t a, b;
      memcpy(&a, key + i, 8);
      memcpy(&b, &text_buf[p + i], 8);
      if (uint64_t d = a ^ b) {
        i += __builtin_ctzll(d) >> 3;   // little-endian: the lowest byte comes first
        break;
      }
      i += 8;
      if (i >= F) break;
    }
    if (i >= F) i = F;
    else cmp = key[i] - text_buf[p + i];
    if (i > THRESHOLD) {
      int distance = ((r - p) & (N - 1)) - 1;
      if (i > match_length) {
        match_position = distance;
        if ((match_length = i) >= F) break;
      }
      if (i == match_length && distance < match_position) match_position = distance;
    }
  }
  // A full-length match: r takes p's place in the tree.
  dad[r] = dad[p];
  lson(r) = lson(p);
  rson(r) = rson(p);
  dad[lson(p)] = r;
  dad[rson(p)] = r;
  if (rson(dad[p]) == p) rson(dad[p]) = r;
  else lson(dad[p]) = r;
  dad[p] = NIL;
}

void deletenode(int p) {
  if (dad[p] == NIL) return;
  int q;
  if (rson(p) == NIL) {
    q = lson(p);
  } else if (lson(p) == NIL) {
    q = rson(p);
  } else {
    q = lson(p);
    if (rson(q) != NIL) {
      do q = rson(q);
      while (rson(q) != NIL);
      rson(dad[q]) = lson(q);
      dad[lson(q)] = dad[q];
      lson(q) = lson(p);
      dad[lson(p)] = q;
    }
    rson(q) = rson(p);
    dad[rson(p)] = q;
  }
  dad[q] = dad[p];
  if (rson(dad[p]) == p) rson(dad[p]) = q;
  else lson(dad[p]) = q;
  dad[p] = NIL;
}

// ---- Bit output with a capacity ----

struct BitWriter {
  uint8_t* out;
  int32_t capacity;
  int32_t pos;
  uint64_t acc = 0;
  int bits = 0;
  bool full = false;

  void emit(uint8_t b) {
    if (pos >= capacity) {
      full = true;
      return;
    }
    out[pos++] = b;
  }
  // Writes the low n bits of v (n <= 32), most significant first.
  void put(int n, uint32_t v) {
    acc = (acc << n) | v;
    bits += n;
    while (bits >= 8) {
      bits -= 8;
      emit(uint8_t(acc >> bits));
    }
    acc &= (uint64_t(1) << bits) - 1;
  }
  void flush() {
    if (bits > 0) emit(uint8_t(acc << (8 - bits)));
    bits = 0;
    acc = 0;
  }
};

void encodechar(BitWriter& w, int c) {
  // Walks from the leaf to the root; an odd node is the second child (bit 1).
  // The code is kept in 32 bits, deep enough for any tree under MAX_FREQ.
  uint32_t code = 0;
  int length = 0;
  int k = prnt[c + T];
  do {
    code |= uint32_t(k & 1) << length;
    length++;
  } while ((k = prnt[k]) != R);
  w.put(length, code);
  update(c);
}

void encodeposition(BitWriter& w, int c) {
  int i = c >> 6;
  w.put(p_len[i], uint32_t(p_code[i]) >> (8 - p_len[i]));
  w.put(6, uint32_t(c & 0x3F));
}

// ---- Bit input; bits past the end read as 0 and mark the stream short ----

struct BitReader {
  const uint8_t* in;
  int32_t length;
  int32_t pos;
  uint64_t cache = 0;   // next bits, left-aligned; zeros after the input
  int bits = 0;         // real bits in the cache; below 0 once zeros were taken

  // Makes at least 40 bits ready (real ones while the input lasts), enough
  // for the deepest code and a position.
  void prepare() {
    if (bits >= 40) return;
    while (bits <= 56 && pos < length) {
      cache |= uint64_t(in[pos++]) << (56 - bits);
      bits += 8;
    }
  }
  int bit() {
    int b = int(cache >> 63);
    cache <<= 1;
    bits--;
    return b;
  }
  bool overrun() const { return bits < 0; }
};

int decodechar(BitReader& r) {
  int c = son[R];
  while (c < T) c = son[c + r.bit()];
  c -= T;
  update(c);
  return c;
}

int decodeposition(BitReader& r) {
  int i = 0;
  for (int k = 0; k < 8; k++) i = (i << 1) | r.bit();
  int upper = dtab.code[size_t(i)] << 6;
  int extra = dtab.len[size_t(i)] - 2;
  while (extra-- > 0) i = (i << 1) | r.bit();
  return upper | (i & 0x3F);
}
}  // namespace

int32_t lzh_compress(const void* source, int32_t length, void* destination, int32_t capacity) {
  if (!destination || capacity < 4) return -1;
  const uint8_t* in = static_cast<const uint8_t*>(source);
  uint8_t* out = static_cast<uint8_t*>(destination);
  if (!in || length < 0) length = 0;
  out[0] = uint8_t(uint32_t(length) >> 24);
  out[1] = uint8_t(uint32_t(length) >> 16);
  out[2] = uint8_t(uint32_t(length) >> 8);
  out[3] = uint8_t(uint32_t(length));
  if (length == 0) return 4;

  BitWriter w{out, capacity, 4};
  int32_t inpos = 0;
  starthuff();
  inittree();
  int s = 0;
  int r = N - F;
  // Spaces before the start, zeros after it: the search may compare beyond
  // the end of short input, and the output must not depend on earlier calls.
  memset(text_buf, ' ', size_t(r));
  memset(text_buf + r, 0, sizeof text_buf - size_t(r));
  int len = 0;
  for (; len < F && inpos < length; len++) text_buf[r + len] = in[inpos++];
  for (int i = 1; i <= F; i++) insertnode(r - i);
  insertnode(r);
  do {
    if (match_length > len) match_length = len;
    if (match_length <= THRESHOLD) {
      match_length = 1;
      encodechar(w, text_buf[r]);
    } else {
      encodechar(w, 255 - THRESHOLD + match_length);
      encodeposition(w, match_position);
    }
    if (w.full) return -1;
    int last_match_length = match_length;
    int i = 0;
    for (; i < last_match_length && inpos < length; i++) {
      uint8_t c = in[inpos++];
      deletenode(s);
      text_buf[s] = c;
      if (s < F - 1) text_buf[s + N] = c;
      s = (s + 1) & (N - 1);
      r = (r + 1) & (N - 1);
      insertnode(r);
    }
    while (i++ < last_match_length) {
      deletenode(s);
      s = (s + 1) & (N - 1);
      r = (r + 1) & (N - 1);
      if (--len) insertnode(r);
    }
  } while (len > 0);
  w.flush();
  if (w.full) return -1;
  return w.pos;
}

int32_t lzh_decompress(const void* source, int32_t sourcelength, void* destination, int32_t capacity) {
  const uint8_t* in = static_cast<const uint8_t*>(source);
  uint8_t* out = static_cast<uint8_t*>(destination);
  if (!in || sourcelength < 4) return -1;
  uint32_t prefix = uint32_t(in[0]) << 24 | uint32_t(in[1]) << 16 | uint32_t(in[2]) << 8 | uint32_t(in[3]);
  if (prefix == 0) return 0;
  if (!out || capacity < 0 || prefix > uint32_t(capacity)) return -1;
  int32_t total = int32_t(prefix);

  BitReader rd{in, sourcelength, 4};
  starthuff();
  // As the coder starts; a damaged stream may copy from the unwritten part,
  // which then gives the same bytes on every call.
  memset(text_buf, ' ', N - F);
  memset(text_buf + N - F, 0, F);
  int r = N - F;
  int32_t count = 0;
  while (count < total) {
    rd.prepare();
    int c = decodechar(rd);
    if (c < 256) {
      if (rd.overrun()) return -1;
      out[count++] = uint8_t(c);
      text_buf[r++] = uint8_t(c);
      r &= N - 1;
    } else {
      int from = (r - decodeposition(rd) - 1) & (N - 1);
      if (rd.overrun()) return -1;
      int n = c - 255 + THRESHOLD;
      // Stops at the plain length, also in the middle of a match.
      for (int k = 0; k < n && count < total; k++) {
        uint8_t b = text_buf[(from + k) & (N - 1)];
        out[count++] = b;
        text_buf[r++] = b;
        r &= N - 1;
      }
    }
  }
  return count;
}
