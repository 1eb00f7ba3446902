// Windows-1250 codes of the Czech letters the synthesizer refers to by name.
#pragma once

namespace kv::letter {

inline constexpr char a_acute = '\xE1';  // á
inline constexpr char c_caron = '\xE8';  // č
inline constexpr char d_caron = '\xEF';  // ď
inline constexpr char e_acute = '\xE9';  // é
inline constexpr char e_caron = '\xEC';  // ě
inline constexpr char i_acute = '\xED';  // í
inline constexpr char n_caron = '\xF2';  // ň
inline constexpr char o_acute = '\xF3';  // ó
inline constexpr char r_caron = '\xF8';  // ř
inline constexpr char s_caron = '\x9A';  // š
inline constexpr char t_caron = '\x9D';  // ť
inline constexpr char u_acute = '\xFA';  // ú
inline constexpr char u_ring = '\xF9';   // ů
inline constexpr char y_acute = '\xFD';  // ý
inline constexpr char z_caron = '\x9E';  // ž

}  // namespace kv::letter
