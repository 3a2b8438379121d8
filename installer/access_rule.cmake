# Who may do what in C:\Harvel, as security descriptors in SDDL: the one home
# of the rule. Setup applies it (access_rule.nsh) and the test of its effect
# reads it (access_rule.h); both are made from here in the build tree.
#
# The folder: SYSTEM and administrators full control, also over everything
# created inside; ordinary users (BU) may list it, read and run what is in it
# and create files in it (0x1200ab), but neither delete what is inside through
# the folder nor create folders; the files they create give every user modify
# rights, delete included (0x1301bf), so the exchange files can be replaced and
# removed by whoever runs the programs next. OWNER RIGHTS (OW) gives the user
# who created such a file no more than that: without it the creator could
# change the file's rule (WRITE_DAC) and lock every other user, and Drovane,
# out of the exchange files. Protected (P): nothing is taken
# over from the drive's root, whose rule lets every user modify new files.
# Owner administrators: a folder an ordinary user made before setup is no
# longer theirs to change.
set(HARVEL_FOLDER_SDDL "O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;;0x1200ab;;;BU)(A;OIIO;0x1301bf;;;BU)(A;OIIO;0x1301bf;;;OW)")
# Each installed program and the uninstaller: users may only read and run it
# (0x1200a9); it takes nothing over from the folder. Setup also puts it on the
# folder while it writes the programs, so that no user can create a file in
# the folder or open a new program for writing before the program is protected.
set(HARVEL_PROGRAM_SDDL "O:BAD:PAI(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;BU)")

set(access_rule_dir ${CMAKE_CURRENT_BINARY_DIR}/access_rule)
configure_file(${CMAKE_CURRENT_LIST_DIR}/access_rule.nsh.in ${access_rule_dir}/access_rule.nsh @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/access_rule.h.in ${access_rule_dir}/access_rule.h @ONLY)
