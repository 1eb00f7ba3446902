' Reads the selection (or the whole page) of the calling window with an MS Agent character.
Option Explicit
On Error Resume Next

Dim Caller, Character, LanguageId, WasVisible, CharacterNames
CharacterNames = Array("Merlin", "Genie", "Peedy", "Robby", "Einstein")
LanguageId = &H409
WasVisible = False

Sub Window_OnLoad()
  WaitForCaller
End Sub

' The calling window arrives a moment after this window opens: retry every 100 ms.
Sub WaitForCaller()
  Set Caller = Nothing
  Set Caller = window.pw
  If Caller Is Nothing Then
    window.setTimeout "WaitForCaller", 100, "VBScript"
    Exit Sub
  End If
  PickLanguage
  If Not StartAgent() Then
    MsgBox "There was a problem in loading the agent control or the local character." & vbCrLf & _
      "Install Microsoft Agent version 2 and a character file.", vbExclamation
    window.close
    Exit Sub
  End If
  ReadText ChooseText()
End Sub

Sub PickLanguage()
  Dim cs
  cs = LCase(Caller.document.charset)
  If cs = "windows-1250" Or cs = "iso-8859-2" Then LanguageId = &H405
  If cs = "windows-1251" Then LanguageId = &H419
End Sub

Function LoadCharacter(name)
  Err.Clear
  If name = "" Then
    agent.Characters.Load "Reader"
  Else
    agent.Characters.Load "Reader", name & ".acs"
    If Err.Number <> 0 Then
      Err.Clear
      agent.Characters.Load "Reader", "http://agent.microsoft.com/agent2/chars/" & name & "/" & name & ".acf"
    End If
  End If
  LoadCharacter = (Err.Number = 0)
End Function

Function StartAgent()
  Dim i, wanted, loaded
  Err.Clear
  agent.Connected = True
  If Err.Number <> 0 Then StartAgent = False : Exit Function
  wanted = ""
  If Not Caller.document.all("SpeakIt Character") Is Nothing Then wanted = Caller.document.all("SpeakIt Character").innerText
  loaded = LoadCharacter(wanted)
  For i = 0 To UBound(CharacterNames)
    If loaded Then Exit For
    loaded = LoadCharacter(CharacterNames(i))
  Next
  If Not loaded Then StartAgent = False : Exit Function
  Set Character = agent.Characters("Reader")
  Character.LanguageID = LanguageId
  WasVisible = Character.Visible
  Character.MoveTo Caller.screenLeft + Caller.document.body.clientWidth - 150, _
    Caller.screenTop + Caller.document.body.clientHeight - 150
  Character.Commands.Caption = "Speak It!"
  Character.Commands.Add "Stop", "Stop"
  Character.Commands.Add "Properties", "Properties"
  Character.Show
  StartAgent = True
End Function

Function ChooseText()
  Dim sel
  Set sel = Caller.document.selection.createRange()
  If sel.text <> "" Then ChooseText = sel.text : Exit Function
  If Not Caller.document.all("SpeakIt Powertoy") Is Nothing Then
    PlayPresentation Caller.document.all("SpeakIt Powertoy").innerText
    ChooseText = ""
    Exit Function
  End If
  ChooseText = Caller.document.body.innerText
End Function

' Plain text is spoken; text between { and } is a command for the character.
Sub PlayPresentation(text)
  Dim parts, i, cmd
  parts = Split(text, "{")
  Character.Speak parts(0)
  For i = 1 To UBound(parts)
    cmd = Split(parts(i), "}")
    Execute "Character." & cmd(0)
    If UBound(cmd) > 0 Then Character.Speak cmd(1)
  Next
End Sub

Sub ReadText(text)
  Dim paragraphs, sentences, i, j
  If text = "" Then Exit Sub
  text = text & "\mrk=1\"
  Character.Play "Read"
  paragraphs = Split(text, vbCrLf)
  For i = 0 To UBound(paragraphs)
    If i > 0 And Len(paragraphs(i)) > 80 Then Character.Play "ReadContinued"
    sentences = SplitSentences(paragraphs(i))
    For j = 0 To UBound(sentences)
      If Trim(sentences(j)) <> "" Then Character.Speak sentences(j)
    Next
  Next
End Sub

Function SplitSentences(paragraph)
  Dim marked
  marked = Replace(paragraph, ". ", "." & vbLf)
  marked = Replace(marked, "! ", "!" & vbLf)
  marked = Replace(marked, "? ", "?" & vbLf)
  SplitSentences = Split(marked, vbLf)
End Function

Dim HideRequest
Sub agent_Bookmark(id)
  If id <> 1 Then Exit Sub
  If WasVisible Then
    Set HideRequest = Character.Play("ReadReturn")
  Else
    Set HideRequest = Character.Hide
  End If
End Sub

Sub agent_RequestComplete(request)
  If request Is HideRequest Then window.close
End Sub

Sub agent_Command(userInput)
  If userInput.Name = "Stop" Then Character.StopAll : window.close
  If userInput.Name = "Properties" Then agent.PropertySheet.Visible = True
End Sub

Sub agent_Hide(characterId, cause)
  window.close
End Sub

Sub agent_IdleStart(characterId)
  window.close
End Sub

Sub window_onerror(message, url, line)
  MsgBox "Chyba skriptu: " & message
  window.close
End Sub
